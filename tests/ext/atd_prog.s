; ATD0 and ATD1 registers: reset values; a four-conversion multi-channel
; sequence (10 bits, right justified) whose CCFs clear by the status read
; then result read, SCF by writing one; then one 8-bit left-justified
; conversion with AFFC and the completion interrupt, whose handler's result
; read clears SCF. Observations go to `res`.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        movb  #0xFF, 0x121      ; IVBR: vectors at 0xFFxx
        movb  0x2C3, res        ; ATDCTL3 after reset: 0x20 (four conversions)
        movb  0x2C4, res+1      ; ATDCTL4 after reset: 0x05
        movb  0x080, res+2      ; ATD1 ATDCTL0 (WRAP) after reset: 0x0F
        movb  #0x80, 0x2C2      ; ATDCTL2: ADPU
        movb  #0x92, 0x2C5      ; ATDCTL5: DJM MULT, channels 2 to 5
wait:   brclr 0x2C6, #0x80, wait ; ATDSTAT0.SCF
        movb  0x2CB, res+3      ; ATDSTAT1: CCF3..0 = 0x0F
        movw  0x2D0, res+4      ; ATDDR0: channel 2
        movw  0x2D2, res+6      ; ATDDR1: channel 3
        movw  0x2D4, res+8      ; ATDDR2: channel 4
        movw  0x2D6, res+10     ; ATDDR3: channel 5
        movb  0x2CB, res+12     ; CCFs cleared by the reads: 0
        movb  0x2C6, res+13     ; SCF stays: 0x80
        movb  #0x80, 0x2C6      ; write one to clear
        movb  0x2C6, res+14     ; 0
        movb  #0xC2, 0x2C2      ; ADPU AFFC ASCIE
        movb  #0x08, 0x2C3      ; one conversion
        movb  #0x85, 0x2C4      ; SRES8, PRS 5
        cli
        movb  #0x47, 0x2C5      ; left justified, signed, channel 7
idle:   tst   irqs
        beq   idle
        sei
        movb  0x2C6, res+15     ; SCF cleared by the handler's read: 0
done:   bra   done

atd_isr:
        movw  0x2D0, res+16     ; with AFFC this read clears SCF and ASCIF
        inc   irqs
        rti

        .sect .data
res:    .space 18
irqs:   .byte 0

        .sect .vectors
        .org  0xFFD2 - 0xFF10
        .word atd_isr           ; ATD0
