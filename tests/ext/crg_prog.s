; Start-up as S12X firmware does it: PLL on, wait for lock, select it, then
; count three real-time interrupt periods by polling RTIF and stop the RTI.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        movb  #0x01, 0x34       ; SYNR: bus clock = oscillator x (SYNR+1)/(REFDV+1)
        movb  #0x00, 0x35       ; REFDV
        bset  0x3A, #0x40       ; PLLCTL.PLLON
wait:   brclr 0x37, #0x08, wait ; CRGFLG.LOCK
        bset  0x39, #0x80       ; CLKSEL.PLLSEL
        movb  #0x10, 0x3B       ; RTICTL: 2^10 oscillator cycles
        ldx   #0
poll:   brclr 0x37, #0x80, poll ; CRGFLG.RTIF
        movb  #0x80, 0x37       ; write one to clear
        inx
        cpx   #3
        bne   poll
        clr   0x3B              ; RTI off
done:   bra   done
