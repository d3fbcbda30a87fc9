; Global accesses through GPAGE: sums 16 words at global 0x123400, copies 32
; bytes from there to global 0x0F8000, and stores/loads registers at 0x0F9000.
; GPAGE is set by writing its I/O byte at 0x0010.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        ldaa  #0x12
        staa  *0x10           ; GPAGE = 0x12
        ldx   #0x3400
        ldy   #0
        ldaa  #16
        staa  left
sum_loop:
        gldd  2,x+
        leay  d,y
        dec   left
        bne   sum_loop
        sty   sum

        ldx   #0x3400
        ldy   #0x8000
        ldaa  #32
        staa  left
copy_loop:
        ldaa  #0x12
        staa  *0x10
        gldab 1,x+
        ldaa  #0x0F
        staa  *0x10           ; GPAGE = 0x0F for the destination
        gstab 1,y+
        dec   left
        bne   copy_loop

        ldy   sum
        gsty  0x9000          ; global 0x0F9000
        ldx   #0x1234
        gstx  0x9002
        ldd   #0xBEEF
        ldy   #0x9004
        gstd  0,y
        gsts  2,y             ; the stack pointer at global 0x0F9006
        gldaa 0x9001          ; low byte of the sum
        gldx  0x9002
        gldy  0,y
        staa  check_a
        stx   check_x
        sty   check_y
done:   bra   done

        .sect .data
        .globl sum, check_a, check_x, check_y
left:   .byte 0
sum:    .word 0
check_a: .byte 0
check_x: .word 0
check_y: .word 0
