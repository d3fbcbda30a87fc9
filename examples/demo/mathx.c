/* mathx.c - arithmetic helpers: recursion, loops, statics and a label */
#include "demo.h"

static unsigned int call_count;

int add(int a, int b)
{
    call_count++;
    return a + b;
}

int fib(int n)
{
    int first;

    if (n < 2)
        return n;
    first = fib(n - 1);
    return first + fib(n - 2);
}

unsigned long factorial(unsigned int n)
{
    if (n <= 1)
        return 1;
    return n * factorial(n - 1);
}

int scale(int value, int mul, int div)
{
    long product;

    product = (long)value * mul;
    return (int)(product / div);
}

u16 sum_to(u16 n)
{
    register u16 i;
    u16 s = 0;

    for (i = 1; i <= n; i++)
        s += i;
    return s;
}

int gcd(int a, int b)
{
    int t;

again:
    if (b == 0)
        return a;
    t = a % b;
    a = b;
    b = t;
    goto again;
}

int next_id(void)
{
    static int id = 100;

    return id++;
}
