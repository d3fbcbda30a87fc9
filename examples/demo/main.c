/* main.c - the Tav demo program: calls every helper, then counts forever */
#include "demo.h"

int results[FIB_COUNT];
static int s_round;

int main(void)
{
    int i;
    int total;
    unsigned long f;

    total = 0;
    for (i = 0; i < FIB_COUNT; i++) {
        results[i] = fib(i + 5);
        total = add(total, results[i]);
    }
    f = factorial(FACT_N);
    g_total = (s32)f;
    g_counter = sum_to(10);
    total = scale(total, 3, 2);
    g_int = gcd(84, 36);
    g_uint = list_sum(g_head);
    g_box.colour = (u8)area(&g_box);
    move_point(&g_rec.pos, 2, 3);
    g_flags.level = 6;
    g_mode = MODE_STOP;
    g_small = (u8)g_op(total, next_id());
    for (;;) {
        s_round++;
        g_counter += 1;
    }
}
