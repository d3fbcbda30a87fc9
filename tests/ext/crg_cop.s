; The COP watchdog: served 20 times over more than one period it leaves the
; program alone; left alone it resets through the vector at 0xFFFA, and a
; wrong value written to ARMCOP resets at once.
        .sect .text
        .globl _start, cop_entry, done
_start: lds   #0x3F00
        movb  #0x01, 0x3C       ; COPCTL: 2^14 oscillator cycles = 8192 bus cycles
        ldx   #20
serve:  movb  #0x55, 0x3F       ; ARMCOP: the service sequence
        movb  #0xAA, 0x3F
        ldy   #200
delay:  dbne  y, delay          ; about 600 bus cycles between services
        dbne  x, serve
        inc   served
starve: bra   starve            ; not served any more
cop_entry:
        lds   #0x3F00
        inc   resets
        ldaa  resets
        cmpa  #2
        beq   done
        movb  #0x01, 0x3C       ; the COP again (a reset turned it off)
        movb  #0x12, 0x3F       ; a wrong value
wrong:  bra   wrong
done:   bra   done
        .sect .data
served: .byte 0
resets: .byte 0
        .sect .vectors
        .word cop_entry         ; 0xFFFA: COP reset
        .word 0                 ; 0xFFFC: clock monitor reset
        .word _start            ; 0xFFFE: reset
