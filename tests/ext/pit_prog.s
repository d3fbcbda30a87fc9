; Two PIT channels from micro timer 0 (10 bus cycles): channel 0 every
; 100 ticks (1000 bus cycles), channel 1 every 50 (500). Poll channel 0's
; flag three times, clearing it by writing one, then stop the PIT.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        movb  #9, 0x346         ; PITMTLD0
        movw  #99, 0x348        ; PITLD0
        movw  #49, 0x34C        ; PITLD1
        movb  #0x03, 0x342      ; PITCE: channels 0 and 1
        movb  #0x80, 0x340      ; PITCFLMT.PITE
        ldx   #0
poll:   brclr 0x345, #0x01, poll ; PITTF.PTF0
        movb  #0x01, 0x345      ; write one to clear
        inx
        cpx   #3
        bne   poll
        ldd   0x34E             ; PITCNT1 before the stop
        clr   0x340             ; PIT off
done:   bra   done
