; SCI0 registers: reset values; a polled transmission; bytes that arrive
; while nobody reads them (overrun) and the status-then-data clear; the
; receive interrupt; an interrupt-driven transmission (TIE). Observations
; go to `res`, received bytes to `rxbuf`.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        movb  #0xFF, 0x121      ; IVBR: vectors at 0xFFxx
        movb  0xC9, res         ; SCIBDL after reset: 0x04
        movb  0xCC, res+1       ; SCISR1 after reset: 0xC0 (TDRE TC)
        movw  #2, 0xC8          ; SBR 2: a frame is 10 x 16 x 2 = 320 bus cycles
        movb  #0x0C, 0xCB       ; SCICR2: TE RE
        ldx   #hello
tx:     brclr 0xCC, #0x80, tx   ; TDRE (this status read arms the clear)
        ldaa  1,x+
        beq   txend
        staa  0xCF              ; SCIDRL
        bra   tx
txend:  brclr 0xCC, #0x40, txend ; TC: the last frame has left
        movb  0xCC, res+2       ; "abc" arrived meanwhile: RDRF OR IDLE
        movb  0xCF, res+3       ; the first byte, 'a'; clears RDRF OR IDLE
        movb  0xCC, res+4       ; 0xC0 again
        movb  #0x2C, 0xCB       ; RIE TE RE
        cli
rxwait: ldaa  rxcount           ; the test sends three more bytes
        cmpa  #3
        bne   rxwait
        movw  #reply, txptr
        bset  0xCB, #0x80       ; TIE: the handler sends `reply`
txwait: brset 0xCB, #0x80, txwait
tcwait: brclr 0xCC, #0x40, tcwait
        sei
done:   bra   done

sci_isr:
        ldaa  0xCC              ; SCISR1
        bita  #0x20             ; RDRF
        beq   sci_tx
        ldab  0xCF
        ldx   #rxbuf
        ldaa  rxcount
        stab  a,x
        inc   rxcount
        rti
sci_tx: ldx   txptr
        ldab  1,x+
        beq   tx_off
        stab  0xCF
        stx   txptr
        rti
tx_off: bclr  0xCB, #0x80       ; nothing more to send
        rti

hello:  .asciz "hi\n"
reply:  .asciz "ok\n"

        .sect .data
res:    .space 8
rxbuf:  .space 4
rxcount: .byte 0
txptr:  .word 0

        .sect .vectors
        .org  0xFFD6 - 0xFF10
        .word sci_isr           ; SCI0
