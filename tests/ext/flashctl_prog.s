; Burns flash the way firmware keeps its settings: the routine that drives
; the flash controller is copied to RAM and runs there. It erases the sector
; at page F8, offset 0x8000 (global 0x7E0000), programs three words there,
; erases the EEPROM and verifies it blank, programs a word of EEPROM (0x0C00,
; global 0x13FC00) with the command-complete interrupt on, and gives a
; command without its array write, records the access error and clears it.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        movb  #0x44, 0x100      ; FCLKDIV: 8 MHz oscillator / 8 / 5 = 200 kHz
        movb  #0x44, 0x110      ; ECLKDIV
        ldx   #burn
        ldy   #0x3000           ; the routine's place in RAM
copy:   movb  1,x+, 1,y+
        cpx   #burn_end
        bne   copy
        movb  #0xF8, 0x30       ; PPAGE: the sector's page in the window at 0x8000
        movb  #0xFF, 0x121      ; IVBR: vectors at 0xFFxx
        jsr   0x3000
done:   bra   done

eeprom_isr:
        inc   interrupts
        bclr  0x113, #0x40      ; ECNFG.CCIE off: CCIF stays set
        rti

burn:   ldd   #0xFFFF
        std   0x8000            ; a word of the sector
        movb  #0x40, 0x106      ; FCMD: sector erase
        movb  #0x80, 0x105      ; FSTAT: launch (CBEIF written with 1)
erase:  brclr 0x105, #0x40, erase ; CCIF
        ldx   #0x8000
        ldy   #words
prog:   ldd   2,y+
        std   2,x+              ; the word and its address
        movb  #0x20, 0x106      ; word program
        movb  #0x80, 0x105
wait:   brclr 0x105, #0x40, wait
        cpx   #0x8006
        bne   prog
        std   0x0C00            ; any EEPROM word
        movb  #0x41, 0x116      ; ECMD: mass erase
        movb  #0x80, 0x115      ; ESTAT: launch
mass:   brclr 0x115, #0x40, mass
        std   0x0C00
        movb  #0x05, 0x116      ; erase verify
        movb  #0x80, 0x115
verify: brclr 0x115, #0x40, verify
        movb  0x115, blank      ; ESTAT with BLANK
        ldd   #0xBEEF
        std   0x0C00
        movb  #0x20, 0x116      ; word program
        movb  #0x40, 0x113      ; ECNFG.CCIE
        cli
        movb  #0x80, 0x115
ewait:  tst   interrupts        ; the interrupt says it is done
        beq   ewait
        sei
        movb  #0x20, 0x106      ; a command without an array write
        movb  0x105, status     ; FSTAT with ACCERR
        movb  #0x10, 0x105      ; write one to clear
        rts
burn_end:

        .sect .data
words:  .word 0x1234, 0x5678, 0x9ABC
status: .byte 0
blank:  .byte 0
interrupts: .byte 0
        .sect .vectors
        .word 0                 ; 0xFFB8: flash
        .word eeprom_isr        ; 0xFFBA: EEPROM
