x: /work/wt/house/examples/blink/BLINK.C
