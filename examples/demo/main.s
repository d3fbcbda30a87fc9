; main.s - compiled from main.c (see examples/README.md for the conventions)
	.file	1 "main.c"

	.section .bss
	.globl	_results
_results:
	.skip	8
_s_round:
	.skip	2

	.text
; int main(void): f at 0,sp, total at 4,sp, i at 6,sp
	.globl	_main
	.type	_main,@function
_main:
	.loc	1 8 0
	leas	-8,sp
	.loc	1 13 0
	movw	#0, 4,sp
	.loc	1 14 0
	movw	#0, 6,sp
	bra	.Lmain_test
.Lmain_body:
	.loc	1 15 0
	ldd	6,sp
	addd	#5
	jsr	_fib
	tfr	d,y
	ldd	6,sp
	lsld
	ldx	#_results
	sty	d,x
	.loc	1 16 0
	ldd	6,sp
	lsld
	ldx	#_results
	ldx	d,x
	pshx
	ldd	6,sp
	jsr	_add
	leas	2,sp
	std	4,sp
	.loc	1 14 0
	ldx	6,sp
	inx
	stx	6,sp
.Lmain_test:
	ldd	6,sp
	cpd	#4
	blt	.Lmain_body
	.loc	1 18 0
	ldd	#10
	jsr	_factorial
	stx	0,sp
	std	2,sp
	.loc	1 19 0
	movw	0,sp, _g_total
	movw	2,sp, _g_total+2
	.loc	1 20 0
	ldd	#10
	jsr	_sum_to
	std	_g_counter
	.loc	1 21 0
	ldd	#2
	pshd
	ldd	#3
	pshd
	ldd	8,sp
	jsr	_scale
	leas	4,sp
	std	4,sp
	.loc	1 22 0
	ldd	#36
	pshd
	ldd	#84
	jsr	_gcd
	leas	2,sp
	std	_g_int
	.loc	1 23 0
	ldd	_g_head
	jsr	_list_sum
	std	_g_uint
	.loc	1 24 0
	ldd	#_g_box
	jsr	_area
	stab	_g_box+8
	.loc	1 25 0
	ldd	#3
	pshd
	ldd	#2
	pshd
	ldd	#_g_rec+8
	jsr	_move_point
	leas	4,sp
	.loc	1 26 0
	ldab	_g_flags
	andb	#0xF1
	orab	#6 << 1
	stab	_g_flags
	.loc	1 27 0
	movw	#2, _g_mode
	.loc	1 28 0
	jsr	_next_id
	pshd
	ldd	6,sp
	ldx	_g_op
	jsr	0,x
	leas	2,sp
	stab	_g_small
.Lmain_forever:
	.loc	1 30 0
	ldx	_s_round
	inx
	stx	_s_round
	.loc	1 31 0
	ldx	_g_counter
	inx
	stx	_g_counter
	bra	.Lmain_forever
	.loc	1 33 0
	leas	8,sp
	rts
	.size	_main, .-_main
