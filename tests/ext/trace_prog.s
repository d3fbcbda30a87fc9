; A short program for the trace test: a counted loop with a subroutine
; call, a memory update and a conditional branch.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        ldab  #4
        ldx   #0
loop:   inx
        bsr   bump
        dbne  b, loop
        cpx   #4
        beq   done
        nop
done:   bra   done
bump:   ldy   total
        leay  3,y
        sty   total
        rts
        .sect .data
total:  .word 0
