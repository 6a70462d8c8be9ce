#!/bin/sh
# Placeholder until the example project exists: nothing to prepare.
exit 0
