; Ports as firmware drives them: port A all outputs, port M half and half,
; port B read as input and copied to port A, port T's pins read through PTIT.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        movb  #0xFF, 0x02       ; DDRA: all outputs
        movb  #0x55, 0x00       ; PORTA
        movb  #0x0F, 0x252      ; DDRM: the low half outputs
        movb  #0xFF, 0x250      ; PTM
        ldaa  0x250             ; low half the latch, high half the pins
        staa  result
        ldaa  0x01              ; PORTB: inputs
        staa  0x00              ; to port A
        ldaa  0x241             ; PTIT: port T's pins
        staa  result+1
done:   bra   done
        .sect .data
result: .byte 0, 0
