/* types.c - one global of every C type the debugger knows */
#include "demo.h"

_Bool g_bool = 1;
signed char g_schar = -5;
char g_char = 'T';
unsigned char g_uchar = 200;
short g_short = -1234;
unsigned short g_ushort = 54321;
int g_int = -2;
unsigned int g_uint = 65535;
long g_long = -100000;
unsigned long g_ulong = 3000000000;
float g_float = 1.5;
double g_double = 3.25;
long double g_ldouble = -0.125;
short _Fract g_sfract = 0.5hr;
long _Fract g_lfract = -0.25lr;

enum mode g_mode = MODE_RUN;
enum level g_level = LEVEL_HIGH;
enum port g_port = PORT_B;
enum width g_width = WIDTH_WIDE;
enum big g_big = BIG_HUGE;

struct flags g_flags = { 1, 5, 9, 2, 7, 33, 500000, 6 };
struct point g_origin = { 0, 0 };
struct rect g_box = { { 1, 2 }, { 11, 7 }, 3 };
union number g_num = { 0x12345678 };
struct node g_nodes[3] = { { 10, &g_nodes[1] }, { 20, &g_nodes[2] }, { 30, 0 } };
struct node *g_head = &g_nodes[0];
struct record g_rec = { "sensor", { 5, -5 }, { 42 }, MODE_STOP, 1,
                        { 0, 2, 3, 1, 0, 10, 1000, 1 } };

int g_table[TABLE_ROWS][TABLE_COLS] = {
    { 1, 2, 3, 4 },
    { 5, 6, 7, 8 },
    { 9, 10, 11, 12 }
};
int *g_pint = &g_int;
const char *g_names[3] = { "idle", "run", "stop" };
binop_t g_op = add;
int (*g_fib)(int) = fib;
u8 g_small = 7;
u16 g_counter;
s32 g_total;

static int s_calls;

int list_sum(const struct node *head)
{
    int sum = 0;

    while (head != 0) {
        sum += head->value;
        head = head->next;
    }
    s_calls++;
    return sum;
}

int area(const struct rect *r)
{
    int w, h;

    w = r->br.x - r->tl.x;
    h = r->br.y - r->tl.y;
    return w * h;
}

void move_point(struct point *p, int dx, int dy)
{
    p->x += dx;
    p->y += dy;
}
