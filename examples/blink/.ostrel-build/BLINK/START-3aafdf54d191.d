x: /work/wt/house/examples/blink/START.ASM
