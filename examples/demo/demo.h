/* demo.h - declarations shared by the Tav demo program */
#ifndef DEMO_H
#define DEMO_H

#define TABLE_ROWS 3
#define TABLE_COLS 4
#define FIB_COUNT 4
#define FACT_N 10

typedef unsigned char u8;
typedef unsigned int u16;
typedef long s32;
typedef int (*binop_t)(int, int);

enum mode { MODE_IDLE, MODE_RUN, MODE_STOP };
enum level : char { LEVEL_LOW = -1, LEVEL_MID, LEVEL_HIGH };
enum port : short { PORT_A = 0x100, PORT_B = 0x200 };
enum width : int { WIDTH_NARROW = 8, WIDTH_WIDE = 16 };
enum big : long { BIG_SMALL = 1, BIG_HUGE = 100000 };

struct point {
    int x;
    int y;
};

struct rect {
    struct point tl;
    struct point br;
    u8 colour;
};

/* Bit-fields fill a unit of their declared type from bit 0 upwards. */
struct flags {
    unsigned char ready : 1;
    unsigned char level : 3;
    short delta : 5;
    unsigned short phase : 2;
    int count : 4;
    unsigned int limit : 6;
    long offset : 20;
    unsigned long mask : 3;
};

union number {
    long l;
    int w[2];
    u8 b[4];
    float f;
};

struct node {
    int value;
    struct node *next;
};

struct record {
    char name[8];
    struct point pos;
    union number num;
    enum mode mode;
    _Bool on;
    struct flags fl;
};

/* mathx.c */
int add(int a, int b);
int fib(int n);
unsigned long factorial(unsigned int n);
int scale(int value, int mul, int div);
u16 sum_to(u16 n);
int gcd(int a, int b);
int next_id(void);

/* types.c */
extern int g_int;
extern unsigned int g_uint;
extern u8 g_small;
extern u16 g_counter;
extern s32 g_total;
extern enum mode g_mode;
extern struct flags g_flags;
extern struct rect g_box;
extern struct record g_rec;
extern struct node *g_head;
extern binop_t g_op;
int list_sum(const struct node *head);
int area(const struct rect *r);
void move_point(struct point *p, int dx, int dy);

#endif
