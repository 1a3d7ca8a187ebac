/* hello_c: a C program that returns at once, linked with the C library
   alone: the floor for vellox's start-up in the benchmark. */

int main(void) { return 0; }
