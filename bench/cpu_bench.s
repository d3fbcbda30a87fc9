; A CPU-bound workload for the simulator benchmark, repeated forever:
; CRC-32 (bit by bit) over 256 bytes, a bubble sort of 64 words filled from a
; linear congruential generator, and a sieve of Eratosthenes up to 2048.
        .sect .text
        .globl _start, rounds
_start: lds   #0x3F00
        ldd   #0
        std   rounds
        std   lcg_state
round:
; --- CRC-32 of the buffer
        ldd   #0xFFFF
        std   crc
        std   crc+2
        ldx   #buffer
        ldy   #256
crc_byte:
        ldab  crc+3
        eorb  1,x+
        stab  crc+3
        ldaa  #8
crc_bit:
        lsr   crc
        ror   crc+1
        ror   crc+2
        ror   crc+3
        bcc   crc_next
        ldab  crc
        eorb  #0xED
        stab  crc
        ldab  crc+1
        eorb  #0xB8
        stab  crc+1
        ldab  crc+2
        eorb  #0x83
        stab  crc+2
        ldab  crc+3
        eorb  #0x20
        stab  crc+3
crc_next:
        dbne  a,crc_bit
        dbne  y,crc_byte
        ldd   crc+2            ; feed the CRC back into the buffer
        std   buffer

; --- fill 64 words from lcg_state = lcg_state * 25173 + 13849, then bubble sort them
        ldx   #values
        ldy   #64
fill:   pshy
        ldd   lcg_state
        ldy   #25173
        emul
        addd  #13849
        std   lcg_state
        std   2,x+
        puly
        dbne  y,fill
pass:   clr   swapped
        ldx   #values
        ldy   #63
compare:
        ldd   0,x
        cpd   2,x
        ble   in_order
        pshd
        ldd   2,x
        std   0,x
        puld
        std   2,x
        inc   swapped
in_order:
        inx
        inx
        dbne  y,compare
        tst   swapped
        bne   pass

; --- sieve: flags[i] = 1 for composite i < 2048
        ldx   #flags
        ldy   #2048
clear:  clr   1,x+
        dbne  y,clear
        ldd   #2
sieve_next:
        tfr   d,x
        tst   flags,x
        bne   not_prime
        pshd                   ; mark multiples from 2n
        lsld
sieve_mark:
        cpd   #2048
        bhs   sieve_marked
        tfr   d,x
        movb  #1,flags,x
        addd  0,sp
        bra   sieve_mark
sieve_marked:
        puld
not_prime:
        addd  #1
        cpd   #2048
        blo   sieve_next

        ldd   rounds
        addd  #1
        std   rounds
        jmp   round

        .sect .data
        .globl crc, lcg_state
rounds: .word 0
lcg_state:   .word 0
crc:    .long 0
swapped: .byte 0
buffer: .space 256
values: .space 128
flags:  .space 2048
