; types.s - compiled from types.c (see examples/README.md for the conventions)
	.file	1 "types.c"

	.section .rodata
.Lstr_idle:
	.asciz	"idle"
.Lstr_run:
	.asciz	"run"
.Lstr_stop:
	.asciz	"stop"

	.section .data
	.globl	_g_bool, _g_schar, _g_char, _g_uchar, _g_short, _g_ushort
	.globl	_g_int, _g_uint, _g_long, _g_ulong, _g_float, _g_double
	.globl	_g_ldouble, _g_sfract, _g_lfract
_g_bool:	.byte	1
_g_schar:	.byte	-5
_g_char:	.byte	'T'
_g_uchar:	.byte	200
_g_short:	.word	-1234
_g_ushort:	.word	54321
_g_int:		.word	-2
_g_uint:	.word	65535
_g_long:	.long	-100000
_g_ulong:	.long	3000000000
_g_float:	.long	0x3FC00000		; 1.5
_g_double:	.long	0x400A0000, 0x00000000	; 3.25
_g_ldouble:	.long	0xBFC00000, 0x00000000	; -0.125
_g_sfract:	.word	0x4000			; 0.5 as s.15
_g_lfract:	.long	0xE0000000		; -0.25 as s.31

	.globl	_g_mode, _g_level, _g_port, _g_width, _g_big
_g_mode:	.word	1			; MODE_RUN
_g_level:	.byte	1			; LEVEL_HIGH
_g_port:	.word	0x200			; PORT_B
_g_width:	.word	16			; WIDTH_WIDE
_g_big:		.long	100000			; BIG_HUGE

	.globl	_g_flags, _g_origin, _g_box, _g_num, _g_nodes, _g_head, _g_rec
_g_flags:				; { 1, 5, 9, 2, 7, 33, 500000, 6 }
	.byte	1 | (5 << 1)
	.word	9 | (2 << 5)
	.word	7 | (33 << 4)
	.long	500000 | (6 << 20)
_g_origin:
	.word	0, 0
_g_box:
	.word	1, 2, 11, 7
	.byte	3
_g_num:
	.long	0x12345678
_g_nodes:
	.word	10, _g_nodes + 4
	.word	20, _g_nodes + 8
	.word	30, 0
_g_head:
	.word	_g_nodes
_g_rec:
	.ascii	"sensor\0\0"		; name
	.word	5, -5			; pos
	.long	42			; num
	.word	2			; mode = MODE_STOP
	.byte	1			; on
	.byte	0 | (2 << 1)		; fl
	.word	3 | (1 << 5)
	.word	0 | (10 << 4)
	.long	1000 | (1 << 20)

	.globl	_g_table, _g_pint, _g_names, _g_op, _g_fib, _g_small
_g_table:
	.word	1, 2, 3, 4
	.word	5, 6, 7, 8
	.word	9, 10, 11, 12
_g_pint:
	.word	_g_int
_g_names:
	.word	.Lstr_idle, .Lstr_run, .Lstr_stop
_g_op:
	.word	_add
_g_fib:
	.word	_fib
_g_small:
	.byte	7

	.section .bss
	.globl	_g_counter, _g_total
_g_counter:
	.skip	2
_g_total:
	.skip	4
_s_calls:
	.skip	2

	.text
; int list_sum(const struct node *head): head at 2,sp, sum at 0,sp
	.globl	_list_sum
	.type	_list_sum,@function
_list_sum:
	.loc	1 51 0
	pshd
	leas	-2,sp
	.loc	1 52 0
	movw	#0, 0,sp
.Llist_test:
	.loc	1 54 0
	ldx	2,sp
	beq	.Llist_done
	.loc	1 55 0
	ldd	0,x
	addd	0,sp
	std	0,sp
	.loc	1 56 0
	ldx	2,sp
	movw	2,x, 2,sp
	bra	.Llist_test
.Llist_done:
	.loc	1 58 0
	ldx	_s_calls
	inx
	stx	_s_calls
	.loc	1 59 0
	ldd	0,sp
	.loc	1 60 0
	leas	4,sp
	rts
	.size	_list_sum, .-_list_sum

; int area(const struct rect *r): r at 4,sp, w at 2,sp, h at 0,sp
	.globl	_area
	.type	_area,@function
_area:
	.loc	1 63 0
	pshd
	leas	-4,sp
	.loc	1 66 0
	ldx	4,sp
	ldd	4,x
	subd	0,x
	std	2,sp
	.loc	1 67 0
	ldx	4,sp
	ldd	6,x
	subd	2,x
	std	0,sp
	.loc	1 68 0
	ldd	2,sp
	ldy	0,sp
	emuls
	.loc	1 69 0
	leas	6,sp
	rts
	.size	_area, .-_area

; void move_point(struct point *p, int dx, int dy): p at 0,sp, dx at 4,sp,
; dy at 6,sp
	.globl	_move_point
	.type	_move_point,@function
_move_point:
	.loc	1 72 0
	pshd
	.loc	1 73 0
	ldx	0,sp
	ldd	0,x
	addd	4,sp
	std	0,x
	.loc	1 74 0
	ldx	0,sp
	ldd	2,x
	addd	6,sp
	std	2,x
	.loc	1 75 0
	leas	2,sp
	rts
	.size	_move_point, .-_move_point
