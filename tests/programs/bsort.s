; Bubble sort of `count` signed 16-bit words at `values`, ascending, with an
; early exit when a pass swaps nothing.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        ldd   count
        cpd   #2
        blt   done
pass:   clr   swapped
        ldx   #values
        ldy   count
        dey                   ; count - 1 comparisons
compare:
        ldd   0,x
        cpd   2,x
        ble   in_order
        pshd                  ; swap the two words
        ldd   2,x
        std   0,x
        puld
        std   2,x
        inc   swapped
in_order:
        inx
        inx
        dbne  y,compare
        tst   swapped
        bne   pass
done:   bra   done

        .sect .data
        .globl count, values
count:  .word 0
swapped: .byte 0
values: .space 2*200
