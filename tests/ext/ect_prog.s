; ECT registers: reset values; an output compare on channel 0 toggling its
; pin, its flag cleared by writing one; an input capture on channel 1 from
; the test's "ect capture"; the overflow interrupt with fast flag clear.
; Observations go to `res`.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        movb  #0xFF, 0x121      ; IVBR: vectors at 0xFFxx
        movb  0x46, res         ; TSCR1 after reset: 0
        movb  0x4E, res+1       ; TFLG1 after reset: 0
        movb  #0x03, 0x4D       ; TSCR2: 8 bus cycles a tick
        movb  #0x01, 0x40       ; TIOS: channel 0 compares
        movb  #0x01, 0x49       ; TCTL2: toggle pin 0
        movw  #100, 0x50        ; TC0
        movb  #0x80, 0x46       ; TSCR1.TEN
oc:     brclr 0x4E, #0x01, oc   ; C0F
        movw  0x44, res+2       ; TCNT: 100 or just after
        movb  #0x01, 0x4E       ; write one to clear
        movb  0x4E, res+4       ; 0
        movb  #0x04, 0x4B       ; TCTL4: capture rising edges on channel 1
ic:     brclr 0x4E, #0x02, ic   ; C1F, from the test's edge
        movw  0x52, res+6       ; the captured count
        movb  #0x02, 0x4E
        movb  #0x90, 0x46       ; TEN TFFCA
        movb  #0x80, 0x4D       ; TOI, one bus cycle a tick
        cli
ovf:    tst   overflows
        beq   ovf
        sei
        movb  0x4F, res+8       ; TOF cleared by the handler's TCNT read: 0
done:   bra   done

ovf_isr:
        movw  0x44, res+10      ; with TFFCA this read clears TOF
        inc   overflows
        rti

        .sect .data
res:    .space 12
overflows: .byte 0

        .sect .vectors
        .org  0xFFDE - 0xFF10
        .word ovf_isr           ; timer overflow
