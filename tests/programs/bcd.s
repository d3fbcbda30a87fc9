; Packed BCD addition with daa: for each of `count` pairs of 8-digit numbers
; (4 bytes, most significant first) the 9-digit sum is stored as 5 bytes.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        ldx   #numbers
        ldy   #sums
        ldd   count
        beq   done
        std   left
next_pair:
        andcc #0xFE           ; no carry into the lowest digits
        ldaa  3,x
        adca  7,x
        daa
        staa  4,y
        ldaa  2,x
        adca  6,x
        daa
        staa  3,y
        ldaa  1,x
        adca  5,x
        daa
        staa  2,y
        ldaa  0,x
        adca  4,x
        daa
        staa  1,y
        ldaa  #0
        adca  #0
        staa  0,y
        leax  8,x
        leay  5,y
        ldd   left
        subd  #1
        std   left
        bne   next_pair
done:   bra   done

        .sect .data
        .globl count, numbers, sums
count:  .word 0
left:   .word 0
numbers: .space 8*64
sums:   .space 5*64
