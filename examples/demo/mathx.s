; mathx.s - compiled from mathx.c (see examples/README.md for the conventions:
; first argument in D and saved at the frame base, further arguments on the
; stack above the return address, autos below the frame base)
	.file	1 "mathx.c"

	.section .bss
_call_count:
	.skip	2

	.section .data
_next_id.id:
	.word	100

	.text
; int add(int a, int b): a in D (saved at 0,sp), b at 4,sp
	.globl	_add
	.type	_add,@function
_add:
	.loc	1 7 0
	pshd
	.loc	1 8 0
	ldx	_call_count
	inx
	stx	_call_count
	.loc	1 9 0
	ldd	0,sp
	addd	4,sp
	.loc	1 10 0
	leas	2,sp
	rts
	.size	_add, .-_add

; int fib(int n): n at 2,sp, first at 0,sp
	.globl	_fib
	.type	_fib,@function
_fib:
	.loc	1 13 0
	pshd
	leas	-2,sp
	.loc	1 16 0
	ldd	2,sp
	cpd	#2
	bge	.Lfib_rec
	.loc	1 17 0
	ldd	2,sp
	bra	.Lfib_ret
.Lfib_rec:
	.loc	1 18 0
	ldd	2,sp
	subd	#1
	jsr	_fib
	std	0,sp
	.loc	1 19 0
	ldd	2,sp
	subd	#2
	jsr	_fib
	addd	0,sp
.Lfib_ret:
	.loc	1 20 0
	leas	4,sp
	rts
	.size	_fib, .-_fib

; unsigned long factorial(unsigned int n): n at 0,sp; result in X:D
	.globl	_factorial
	.type	_factorial,@function
_factorial:
	.loc	1 23 0
	pshd
	.loc	1 24 0
	ldd	0,sp
	cpd	#1
	bhi	.Lfact_rec
	.loc	1 25 0
	ldd	#1
	ldx	#0
	bra	.Lfact_ret
.Lfact_rec:
	.loc	1 26 0
	ldd	0,sp
	subd	#1
	jsr	_factorial
	pshx			; high word of factorial(n - 1)
	ldy	2,sp		; n
	emul			; Y:D = low word * n
	pshy			; carry into the high word
	pshd			; low word of the result
	ldd	4,sp		; high word of factorial(n - 1)
	ldy	6,sp		; n
	emul			; D = low 16 bits of high word * n
	addd	2,sp
	tfr	d,x		; high word of the result
	puld
	leas	4,sp
.Lfact_ret:
	.loc	1 27 0
	leas	2,sp
	rts
	.size	_factorial, .-_factorial

; int scale(int value, int mul, int div): value at 4,sp, product at 0,sp,
; mul at 8,sp, div at 10,sp
	.globl	_scale
	.type	_scale,@function
_scale:
	.loc	1 30 0
	pshd
	leas	-4,sp
	.loc	1 33 0
	ldd	4,sp
	ldy	8,sp
	emuls
	sty	0,sp
	std	2,sp
	.loc	1 34 0
	ldy	0,sp
	ldd	2,sp
	ldx	10,sp
	edivs
	tfr	y,d
	.loc	1 35 0
	leas	6,sp
	rts
	.size	_scale, .-_scale

; u16 sum_to(u16 n): n at 2,sp, s at 0,sp, i in Y
	.globl	_sum_to
	.type	_sum_to,@function
_sum_to:
	.loc	1 38 0
	pshd
	leas	-2,sp
	.loc	1 40 0
	movw	#0, 0,sp
	.loc	1 42 0
	ldy	#1
	bra	.Lsum_test
.Lsum_body:
	.loc	1 43 0
	tfr	y,d
	addd	0,sp
	std	0,sp
	.loc	1 42 0
	iny
.Lsum_test:
	cpy	2,sp
	bls	.Lsum_body
	.loc	1 44 0
	ldd	0,sp
	.loc	1 45 0
	leas	4,sp
	rts
	.size	_sum_to, .-_sum_to

; int gcd(int a, int b): a at 2,sp, b at 6,sp, t at 0,sp
	.globl	_gcd
	.type	_gcd,@function
_gcd:
	.loc	1 48 0
	pshd
	leas	-2,sp
_gcd.again:
	.loc	1 52 0
	ldd	6,sp
	bne	.Lgcd_step
	.loc	1 53 0
	ldd	2,sp
	bra	.Lgcd_ret
.Lgcd_step:
	.loc	1 54 0
	ldd	2,sp
	ldx	6,sp
	idivs
	std	0,sp
	.loc	1 55 0
	movw	6,sp, 2,sp
	.loc	1 56 0
	movw	0,sp, 6,sp
	.loc	1 57 0
	bra	_gcd.again
.Lgcd_ret:
	.loc	1 58 0
	leas	4,sp
	rts
	.size	_gcd, .-_gcd

; int next_id(void): no frame
	.globl	_next_id
	.type	_next_id,@function
_next_id:
	.loc	1 64 0
	ldd	_next_id.id
	tfr	d,x
	inx
	stx	_next_id.id
	.loc	1 65 0
	rts
	.size	_next_id, .-_next_id
