; Firmware for the peripheral pack, written the way S12X firmware starts:
; from the reset vector it sets up the PLL (8 MHz oscillator, SYNR 1: a
; 16 MHz bus) and waits for lock, then runs
;   - a 1 ms real-time interrupt tick (RTICTL 0x87: 8 x 1000 oscillator
;     cycles = 16000 bus cycles), counted in `ticks`;
;   - PIT channel 0 every 500 us (16 x 500 = 8000 bus cycles), in `pits`;
;   - an ECT output compare on channel 2 every 16000 bus cycles (one bus
;     cycle a tick), toggling pin 2; its handler keeps in `latency` how many
;     cycles after the compare it read TCNT;
;   - ATD0 scanning channels 0 to 3 continuously;
;   - a command interpreter on SCI0 (SBR 9, a frame of 1440 bus cycles) that
;     echoes what it receives and answers, one command a line:
;       t            "ticks XXXX pit XXXX oc XXXX"
;       r AAAA       "AAAA: HH", the byte at local address AAAA
;       w AAAA HH    writes the byte, "ok"
;       a            "adc XXXX XXXX XXXX XXXX", ATDDR0..3
;       l            "latency XXXX YYYY", the fewest and most cycles from a compare
;                    to its handler's TCNT read
;       e TEXT       TEXT
;     anything else "?"; numbers are lower-case hexadecimal.
        .sect .text
        .globl _start
_start: lds   #0x3F00
        movb  #0xFF, 0x121      ; IVBR: the vector table at 0xFF10-0xFFFF
        movb  #0x01, 0x34       ; SYNR
        movb  #0x00, 0x35       ; REFDV
        bset  0x3A, #0x40       ; PLLCTL.PLLON
lock:   brclr 0x37, #0x08, lock ; CRGFLG.LOCK
        bset  0x39, #0x80       ; CLKSEL.PLLSEL
        movb  #0x87, 0x3B       ; RTICTL: 1 ms
        bset  0x38, #0x80       ; CRGINT.RTIE
        movb  #15, 0x346        ; PITMTLD0: 16 bus cycles
        movw  #499, 0x348       ; PITLD0: 500 of them
        movb  #0x01, 0x344      ; PITINTE
        movb  #0x01, 0x342      ; PITCE
        movb  #0x80, 0x340      ; PITCFLMT.PITE
        movb  #0x04, 0x40       ; TIOS: channel 2 compares
        movb  #0x10, 0x49       ; TCTL2: toggle pin 2
        movb  #0x04, 0x4C       ; TIE: channel 2
        movb  #0x80, 0x46       ; TSCR1.TEN
        ldd   0x44
        addd  #20000
        std   0x54              ; TC2: the first compare 1.25 ms from now, away from the other interrupts
        movb  #0x80, 0x2C2      ; ATDCTL2.ADPU
        movb  #0xB0, 0x2C5      ; ATDCTL5: DJM SCAN MULT from channel 0
        movw  #0xFFFF, latency  ; no shortest latency yet
        movw  #9, 0xC8          ; SCI0BD
        movb  #0x2C, 0xCB       ; SCI0CR2: RIE TE RE
        cli
        ldx   #banner
        jsr   puts
        bra   prompt

; ---- Command interpreter ----------------------------------------------------
main:   jsr   getc
        cmpb  #13
        beq   exec
        cmpb  #10
        beq   exec
        ldaa  len
        cmpa  #31
        bhs   main              ; the line is full: drop the byte
        ldx   #line
        stab  a,x
        inc   len
        jsr   putc              ; echo
        bra   main

exec:   ldx   #crlf
        jsr   puts
        ldx   #line
        ldab  len
        clr   b,x
        clr   len
        ldab  0,x
        beq   prompt
        inx
        cmpb  #'t
        lbeq  cmd_t
        cmpb  #'r
        lbeq  cmd_r
        cmpb  #'w
        lbeq  cmd_w
        cmpb  #'a
        lbeq  cmd_a
        cmpb  #'l
        lbeq  cmd_l
        cmpb  #'e
        lbeq  cmd_e
        ldx   #unknown
        jsr   puts
end_line:
        ldx   #crlf
        jsr   puts
prompt: ldx   #prompt_text
        jsr   puts
        bra   main

cmd_t:
snapshot:                       ; the three counts at one moment
        sei
        movw  ticks, counts
        movw  pits, counts+2
        movw  ocs, counts+4
        cli
        ldx   #ticks_text
        jsr   puts
        ldd   counts
        jsr   puthex4
        ldx   #pit_text
        jsr   puts
        ldd   counts+2
        jsr   puthex4
        ldx   #oc_text
        jsr   puts
        ldd   counts+4
        jsr   puthex4
        bra   end_line

cmd_r:  jsr   gethex
        std   address
        jsr   puthex4
        ldx   #colon_text
        jsr   puts
        ldx   address
        ldaa  0,x
        jsr   puthex2
        bra   end_line

cmd_w:  jsr   gethex
        std   address
        jsr   gethex
        ldy   address
        stab  0,y
        ldx   #ok_text
        jsr   puts
        bra   end_line

cmd_a:  ldx   #adc_text
        jsr   puts
        ldy   #0x2D0            ; ATDDR0
adc:    ldab  #0x20
        jsr   putc
        ldd   2,y+
        jsr   puthex4
        cpy   #0x2D8
        bne   adc
        bra   end_line

cmd_l:  ldx   #latency_text
        jsr   puts
        ldd   latency
        jsr   puthex4
        ldab  #0x20
        jsr   putc
        ldd   latency+2
        jsr   puthex4
        bra   end_line

cmd_e:  ldab  0,x
        cmpb  #0x20
        bne   echo
        inx
echo:   jsr   puts
        bra   end_line

; ---- Numbers ----------------------------------------------------------------
; Reads lower-case hexadecimal digits at X after blanks: D, X after them.
gethex: clra
        clrb
        std   value
gh_blank:
        ldab  0,x
        cmpb  #0x20
        bne   gh_digit
        inx
        bra   gh_blank
gh_digit:
        ldab  0,x
        subb  #'0
        blo   gh_end
        cmpb  #9
        bls   gh_add
        subb  #'a-'0
        blo   gh_end
        cmpb  #5
        bhi   gh_end
        addb  #10
gh_add: pshb
        ldd   value
        lsld
        lsld
        lsld
        lsld
        addb  1,sp+
        adca  #0
        std   value
        inx
        bra   gh_digit
gh_end: ldd   value
        rts

; D as four hexadecimal digits.
puthex4:
        pshb
        bsr   puthex2
        pula
; A as two hexadecimal digits.
puthex2:
        psha
        lsra
        lsra
        lsra
        lsra
        bsr   nibble
        pula
        anda  #0x0F
nibble: adda  #'0
        cmpa  #'9
        bls   nb_out
        adda  #'a-'9-1
nb_out: tab
        bra   putc

; ---- SCI0 -------------------------------------------------------------------
; Sends B when the transmit buffer is free.
putc:   brclr 0xCC, #0x80, putc ; SCI0SR1.TDRE
        stab  0xCF              ; SCI0DRL
        rts

; Sends the zero-ended text at X.
puts:   ldab  1,x+
        beq   ps_end
        bsr   putc
        bra   puts
ps_end: rts

; The next received byte in B; waits for one.
getc:   ldaa  rx_tail
gc_wait:
        cmpa  rx_head
        beq   gc_wait
        ldx   #rx_ring
        ldab  a,x
        inca
        anda  #15
        staa  rx_tail
        rts

; ---- Interrupt handlers ------------------------------------------------------
sci0_isr:
        ldaa  0xCC              ; status, then data: clears RDRF
        ldab  0xCF
        ldaa  rx_head
        ldx   #rx_ring
        stab  a,x
        inca
        anda  #15
        staa  rx_head
        rti

rti_isr:
        movb  #0x80, 0x37       ; CRGFLG.RTIF
        ldx   ticks
        inx
        stx   ticks
        rti

pit_isr:
        movb  #0x01, 0x345      ; PITTF.PTF0
        ldx   pits
        inx
        stx   pits
        rti

oc_isr: ldd   0x44              ; TCNT
        subd  0x54              ; minus TC2: cycles since the compare
        cpd   latency
        bhs   oc_min
        std   latency           ; the shortest so far
oc_min: cpd   latency+2
        bls   oc_next
        std   latency+2         ; the longest so far
oc_next:
        ldd   0x54
        addd  #16000
        std   0x54              ; the next compare
        movb  #0x04, 0x4E       ; TFLG1.C2F
        ldx   ocs
        inx
        stx   ocs
        rti

banner: .asciz "tav fw\r\n"
crlf:   .asciz "\r\n"
prompt_text: .asciz ">"
unknown: .asciz "?"
ticks_text: .asciz "ticks "
pit_text: .asciz " pit "
oc_text: .asciz " oc "
colon_text: .asciz ": "
ok_text: .asciz "ok"
adc_text: .asciz "adc"
latency_text: .asciz "latency "

        .sect .data
ticks:  .word 0
pits:   .word 0
ocs:    .word 0
latency: .word 0, 0
counts: .word 0, 0, 0
address: .word 0
value:  .word 0
rx_head: .byte 0
rx_tail: .byte 0
len:    .byte 0
rx_ring: .space 16
line:   .space 32

        .sect .vectors
        .org  0xFF7A - 0xFF10
        .word pit_isr           ; PIT channel 0
        .org  0xFFD6 - 0xFF10
        .word sci0_isr          ; SCI0
        .org  0xFFEA - 0xFF10
        .word oc_isr            ; ECT channel 2
        .org  0xFFF0 - 0xFF10
        .word rti_isr           ; real-time interrupt
        .org  0xFFFE - 0xFF10
        .word _start            ; reset
