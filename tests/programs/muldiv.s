; 32-bit multiply (low 32 bits of the product, from emul partial products)
; and 32-bit unsigned divide (shift and subtract) over `count` operand pairs.
; pairs: a (4 bytes), b (4 bytes); results: product, quotient, remainder.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        ldx   #pairs
        ldy   #results
        ldd   count
        beq   done
        std   left
next_pair:
        stx   pair_ptr
        sty   result_ptr

; product = al*bl + ((ah*bl + al*bh) << 16)
        ldd   6,x             ; bl
        ldy   2,x             ; al
        emul                  ; Y:D = al*bl
        std   prod+2
        sty   prod
        ldd   6,x             ; bl
        ldy   0,x             ; ah
        emul
        addd  prod
        std   prod
        ldd   4,x             ; bh
        ldy   2,x             ; al
        emul
        addd  prod
        std   prod

; quotient/remainder: 32 steps of shift and subtract
        ldd   0,x
        std   quot
        ldd   2,x
        std   quot+2
        ldd   4,x
        std   divisor
        ldd   6,x
        std   divisor+2
        ldd   #0
        std   rem
        std   rem+2
        ldx   #32
div_step:
        lsl   quot+3
        rol   quot+2
        rol   quot+1
        rol   quot
        rol   rem+3
        rol   rem+2
        rol   rem+1
        rol   rem
        ldd   rem+2
        subd  divisor+2
        std   low_diff
        ldd   rem
        sbcb  divisor+1
        sbca  divisor
        bcs   div_next
        std   rem
        ldd   low_diff
        std   rem+2
        bset  quot+3,#0x01
div_next:
        dbne  x,div_step

; store the three results
        ldy   result_ptr
        ldd   prod
        std   0,y
        ldd   prod+2
        std   2,y
        ldd   quot
        std   4,y
        ldd   quot+2
        std   6,y
        ldd   rem
        std   8,y
        ldd   rem+2
        std   10,y
        leay  12,y
        ldx   pair_ptr
        leax  8,x
        ldd   left
        subd  #1
        std   left
        bne   next_pair
done:   bra   done

        .sect .data
        .globl count, pairs, results
count:  .word 0
left:   .word 0
pair_ptr: .word 0
result_ptr: .word 0
prod:   .long 0
quot:   .long 0
rem:    .long 0
divisor: .long 0
low_diff: .word 0
pairs:  .space 8*64
results: .space 12*64
