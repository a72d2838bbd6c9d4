/* Runs a program and prints its peak resident size: "peak <KiB>" on
 * standard error after it ends, passing its exit status on. A process
 * started from a large one (a Python driver) counts the starter's pages in
 * its own peak, since the kernel keeps the peak across exec; started from
 * this small program, the figure is the program's own.
 * Usage: peak_rss <program> [argument...] */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    pid_t child;
    int status = 0;
    struct rusage usage;
    if (argc < 2) {
        fprintf(stderr, "usage: peak_rss <program> [argument...]\n");
        return 2;
    }
    child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        return 2;
    }
    fprintf(stderr, "peak %ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
