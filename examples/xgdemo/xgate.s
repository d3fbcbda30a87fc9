; xgate.s - compiled from xgate.c for the XGATE (see README.md for the
; conventions: R7 the stack pointer, stack arguments from R7 up, autos
; below R7, the return address in R6 after jal, the result in R2)
	.file	1 "xgate.c"

	.section .xgdata,"aw"
	.globl	_xg_runs
_xg_runs:
	.word	0
	.globl	_xg_start
_xg_start:
	.word	0x1D0F

	.section .xgtext,"ax"
; unsigned int checksum(const unsigned char *buf, unsigned int len):
; buf at (R7,#0), len at (R7,#2); sum at R7-2, which R5 points at; i in R4
	.globl	_checksum
	.type	_checksum,@function
_checksum:
	.loc	1 9 0
	mov	r5, r7
	subl	r5, #2
	.loc	1 10 0
	ldl	r3, #%lo(_xg_start)
	ldh	r3, #%hi(_xg_start)
	ldw	r3, (r3, #0)
	stw	r3, (r5, #0)
	.loc	1 13 0
	ldl	r4, #0
	bra	.Lcs_test
.Lcs_body:
	.loc	1 14 0
	ldw	r3, (r5, #0)
	rol	r3, #1
	ldw	r2, (r7, #0)
	ldb	r2, (r2, r4)
	add	r3, r3, r2
	stw	r3, (r5, #0)
	.loc	1 13 0
	addl	r4, #1
.Lcs_test:
	ldw	r2, (r7, #2)
	cmp	r4, r2
	blo	.Lcs_body
	.loc	1 15 0
	ldw	r2, (r5, #0)
	.loc	1 16 0
	jal	r6
	.size	_checksum, .-_checksum

; void xg_thread(struct job *job): job in R1, the channel's data
	.globl	_xg_thread
	.type	_xg_thread,@function
_xg_thread:
	.loc	1 20 0
	subl	r7, #4
	.loc	1 21 0
	ldw	r2, (r1, #0)
	stw	r2, (r7, #0)
	ldw	r2, (r1, #2)
	stw	r2, (r7, #2)
	ldl	r6, #%lo(_checksum)
	ldh	r6, #%hi(_checksum)
	jal	r6
	stw	r2, (r1, #4)
	.loc	1 22 0
	ldl	r3, #%lo(_xg_runs)
	ldh	r3, #%hi(_xg_runs)
	ldw	r2, (r3, #0)
	addl	r2, #1
	stw	r2, (r3, #0)
	.loc	1 23 0
	addl	r7, #4
	rts
	.size	_xg_thread, .-_xg_thread
