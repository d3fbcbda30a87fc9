/* main.c - calls into two files that are both named util.c */
int twice(int x);
int thrice(int x);

int result;

int main(void)
{
    result = twice(5) + thrice(7);
    for (;;) {
        result++;
    }
}
