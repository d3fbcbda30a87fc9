; b/util.s - compiled from b/util.c (see examples/README.md for the conventions)
	.file	1 "b/util.c"

	.section .data
_count:
	.word	100

	.text
; static void bump(void): no frame
	.type	_bump,@function
_bump:
	.loc	1 6 0
	ldd	_count
	addd	#10
	std	_count
	.loc	1 7 0
	rts
	.size	_bump, .-_bump

; int thrice(int x): x at 0,sp
	.globl	_thrice
	.type	_thrice,@function
_thrice:
	.loc	1 10 0
	pshd
	.loc	1 11 0
	jsr	_bump
	.loc	1 12 0
	ldd	0,sp
	lsld
	addd	0,sp
	.loc	1 13 0
	leas	2,sp
	rts
	.size	_thrice, .-_thrice
