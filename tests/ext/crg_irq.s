; The RTI as an interrupt: without the PLL an RTI period of 1024 oscillator
; cycles is 512 bus cycles; the handler counts them in `ticks` until three.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        movb  #0xFF, 0x121      ; IVBR: vectors at 0xFFxx (target memory starts as zeros)
        movb  #0x10, 0x3B       ; RTICTL: 2^10 oscillator cycles
        movb  #0x80, 0x38       ; CRGINT.RTIE
        clr   ticks
        cli
wait:   ldaa  ticks
        cmpa  #3
        bne   wait
        sei
        clr   0x3B              ; RTI off
done:   bra   done
rti_isr:
        inc   ticks
        movb  #0x80, 0x37       ; clear RTIF
        rti
        .sect .data
ticks:  .byte 0
        .sect .vectors
        .word rti_isr           ; 0xFFF0: real-time interrupt
