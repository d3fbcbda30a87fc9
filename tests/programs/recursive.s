; Recursive Fibonacci through the stack: fib(n) for n = 0 … `count`-1 into
; `results`, and the deepest stack pointer reached into `low_water`.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        sts   low_water
        ldx   #results
        ldd   #0
next_n: cpd   count
        bhs   done
        pshd
        pshx
        bsr   fib
        pulx
        std   2,x+
        puld
        addd  #1
        bra   next_n
done:   bra   done

; D = n on entry, D = fib(n) on return.
fib:    cps   low_water
        bhs   fib_deep_enough
        sts   low_water
fib_deep_enough:
        cpd   #2
        blo   fib_done
        pshd                  ; n
        subd  #1
        bsr   fib             ; fib(n-1)
        puly                  ; Y = n
        pshd                  ; fib(n-1)
        tfr   y,d
        subd  #2
        bsr   fib             ; fib(n-2)
        addd  0,sp
        leas  2,sp
fib_done:
        rts

        .sect .data
        .globl count, results, low_water
count:  .word 0
low_water: .word 0
results: .space 2*32
