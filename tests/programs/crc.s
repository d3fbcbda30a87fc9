; CRC-16/CCITT-FALSE (polynomial 0x1021, initial 0xFFFF) and CRC-32
; (reflected polynomial 0xEDB88320, initial and final XOR 0xFFFFFFFF) of the
; `length` bytes at `buffer`. The test fills the buffer and the length.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00

; CRC-16: D holds the CRC, A its high byte.
        ldx   #buffer
        ldy   length
        beq   crc16_end
        ldd   #0xFFFF
crc16_byte:
        eora  1,x+
        pshy
        ldy   #8
crc16_bit:
        lsld
        bcc   crc16_next
        eora  #0x10
        eorb  #0x21
crc16_next:
        dbne  y,crc16_bit
        puly
        dbne  y,crc16_byte
        std   crc16

; CRC-32, one bit at a time on the four bytes at crc32 (big-endian).
crc16_end:
        ldd   #0xFFFF
        std   crc32
        std   crc32+2
        ldx   #buffer
        ldy   length
        beq   crc32_end
crc32_byte:
        ldab  crc32+3
        eorb  1,x+
        stab  crc32+3
        ldaa  #8
crc32_bit:
        lsr   crc32
        ror   crc32+1
        ror   crc32+2
        ror   crc32+3
        bcc   crc32_next
        ldab  crc32
        eorb  #0xED
        stab  crc32
        ldab  crc32+1
        eorb  #0xB8
        stab  crc32+1
        ldab  crc32+2
        eorb  #0x83
        stab  crc32+2
        ldab  crc32+3
        eorb  #0x20
        stab  crc32+3
crc32_next:
        dbne  a,crc32_bit
        dbne  y,crc32_byte
crc32_end:
        com   crc32
        com   crc32+1
        com   crc32+2
        com   crc32+3
done:   bra   done

        .sect .data
        .globl length, buffer, crc16, crc32
crc16:  .word 0
crc32:  .long 0
length: .word 0
buffer: .space 512
