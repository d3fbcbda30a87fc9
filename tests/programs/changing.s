; Code that changes under the run loop. ram_code, in RAM, rewrites the
; instructions ahead of it on the same straight line: an opcode (inca
; becomes incb), a postbyte (ldaa 0,x becomes ldaa $52,x, one byte longer,
; swallowing the incb after it as its offset) and an operand (adda #1 becomes
; adda #7); a store into `hooked` lets the test's memory hook turn the next
; inca into incb. The main loop puts the original bytes back before each
; pass. Then code in page 0x30 switches PPAGE under its own feet: the next
; instruction comes from page 0x31.
; Each pass ends with A = table[0x52] + 7 and B = 2; `which` ends as 0x31.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        ldy   #results
        movb  #3, passes
pass:   movb  #0x42, op_ahead     ; inca
        movb  #0x00, len_op+1     ; ldaa 0,x
        movb  #1, imm_op+1        ; adda #1
        movb  #0x42, op_hook      ; inca
        ldx   #table
        clra
        clrb
        jsr   ram_code
        std   2,y+
        dec   passes
        bne   pass
        call  switch30, 0x30
        movb  which, which_first
        call  switch30, 0x30
done:   bra   done

        .section .page30,"ax"
switch30:
        movb  #0x31, 0x30         ; PPAGE: the window shows page 0x31 from here on
        ldaa  #0x30
        staa  which
        rtc

        .section .page31,"ax"
        nop                       ; as long as the movb above
        nop
        nop
        nop
        nop
        ldaa  #0x31
        staa  which
        rtc

        .sect .data
ram_code:
        movb  #0x52, op_ahead     ; incb
op_ahead:
        inca
        movb  #0xE0, len_op+1     ; ldaa n,x with the next byte as n
len_op: ldaa  0,x
        incb                      ; 0x52: the offset once the postbyte is 0xE0
        movb  #7, imm_op+1
imm_op: adda  #1
        staa  hooked
op_hook:
        inca
        rts
hooked: .byte 0
passes: .byte 0
which:  .byte 0
which_first:
        .byte 0
results:
        .skip 6
table:  .byte 0x11
        .fill 0x51, 1, 0
        .byte 0x5A
