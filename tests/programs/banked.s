; Banked calls with call/rtc across the flash pages 0x30 and 0x31: direct,
; indexed and indirect calls, a nested call from one page into the other, and
; data read through the 0x8000 window while each page is in it.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
        ldd   #3
        call  add_then_double, 0x30     ; (3 + 10) * 2 = 26
        std   result1
        ldd   #5
        ldx   #far_table
        call  [0,x]                     ; page 0x31's triple: 15
        std   result2
        ldx   #double_twice
        ldd   #7
        call  0,x, 0x31                 ; 7 * 4 = 28
        std   result3
        ldd   #1
        call  page_marks, 0x30          ; 0x30 and 0x31 marks, read in turn
        std   result4
        ldaa  0x30                      ; the I/O byte of PPAGE is not written by call
        staa  ppage_io
done:   bra   done

        .section .page30,"ax"
mark30: .byte 0x30
add_then_double:
        addd  #10
        call  double, 0x31
        rtc
page_marks:
        ldaa  mark30                    ; reads page 0x30 through the window
        call  read_mark31, 0x31
        rtc

        .section .page31,"ax"
mark31: .byte 0x31
double: lsld
        rtc
triple: pshd
        lsld
        addd  0,sp
        leas  2,sp
        rtc
double_twice:
        bsr   local_double              ; a plain subroutine inside the page
        bsr   local_double
        rtc
local_double:
        lsld
        rts
read_mark31:
        ldab  mark31                    ; the same window, now page 0x31
        rtc

        .sect .data
        .globl result1, result2, result3, result4, ppage_io
far_table: .word triple
        .byte 0x31
result1: .word 0
result2: .word 0
result3: .word 0
result4: .word 0
ppage_io: .byte 0
