/* Preloaded into every 32-bit Wine process that qemu-i386 runs.
 *
 * qemu-user 7.2 passes MAP_FIXED_NOREPLACE on as a plain hint: the mapping
 * lands elsewhere instead of failing. Wine's start-up reserves its address
 * space by asking for fixed places until one fails, so under qemu it walks the
 * whole 4 GiB one step at a time (well over a minute per process). Here a
 * mapping that did not land where it was asked for is undone and fails with
 * EEXIST, as the kernel would do.
 *
 * Built freestanding (gcc -m32 -nostdlib): the machine needs no 32-bit C
 * headers, and the two libc symbols below come from the process's own libc. */

#define QUOR_MAP_FIXED_NOREPLACE 0x100000
#define QUOR_EINVAL 22
#define QUOR_EEXIST 17
#define QUOR_SYS_MUNMAP 91
#define QUOR_SYS_MMAP2 192
#define QUOR_PAGE_MASK 0xfffu

extern int *__errno_location(void);
extern int unsetenv(const char *name);

/* mmap2 takes six arguments in ebx, ecx, edx, esi, edi, ebp; ebx and ebp may be
 * reserved by the compiler (PIC register, frame pointer), so they are saved
 * and loaded by hand from an argument block. */
static long sys_mmap2(void *addr, unsigned long length, int prot, int flags, int fd, unsigned long pages)
{
    long block[6] = {(long)addr, (long)length, prot, flags, fd, (long)pages};
    long *args = block;
    long result;
    __asm__ volatile("push %%ebp\n\t"
                     "push %%ebx\n\t"
                     "mov 0(%%ecx), %%ebx\n\t"
                     "mov 8(%%ecx), %%edx\n\t"
                     "mov 12(%%ecx), %%esi\n\t"
                     "mov 16(%%ecx), %%edi\n\t"
                     "mov 20(%%ecx), %%ebp\n\t"
                     "mov 4(%%ecx), %%ecx\n\t"
                     "int $0x80\n\t"
                     "pop %%ebx\n\t"
                     "pop %%ebp"
                     : "=a"(result), "+c"(args)
                     : "0"(QUOR_SYS_MMAP2)
                     : "memory", "edx", "esi", "edi");
    return result;
}

static void sys_munmap(void *addr, unsigned long length)
{
    long result;
    __asm__ volatile("push %%ebx\n\t"
                     "mov %2, %%ebx\n\t"
                     "int $0x80\n\t"
                     "pop %%ebx"
                     : "=a"(result)
                     : "0"(QUOR_SYS_MUNMAP), "r"(addr), "c"(length)
                     : "memory");
    (void)result;
}

static void *map(void *addr, unsigned long length, int prot, int flags, int fd, unsigned long long offset)
{
    long result;
    if (offset & QUOR_PAGE_MASK) {
        *__errno_location() = QUOR_EINVAL;
        return (void *)-1;
    }
    result = sys_mmap2(addr, length, prot, flags & ~QUOR_MAP_FIXED_NOREPLACE, fd, (unsigned long)(offset >> 12));
    if ((unsigned long)result >= (unsigned long)-4095) {
        *__errno_location() = (int)-result;
        return (void *)-1;
    }
    if ((flags & QUOR_MAP_FIXED_NOREPLACE) && (void *)result != addr) {
        sys_munmap((void *)result, length);
        *__errno_location() = QUOR_EEXIST;
        return (void *)-1;
    }
    return (void *)result;
}

void *mmap(void *addr, unsigned long length, int prot, int flags, int fd, long offset)
{
    return map(addr, length, prot, flags, fd, (unsigned long long)(unsigned long)offset);
}

void *mmap64(void *addr, unsigned long length, int prot, int flags, int fd, long long offset)
{
    return map(addr, length, prot, flags, fd, (unsigned long long)offset);
}

/* The 64-bit programs this process starts must not inherit a 32-bit preload;
 * the 32-bit ones get it again from their own qemu command line. */
__attribute__((constructor)) static void forget_preload(void)
{
    unsetenv("LD_PRELOAD");
}
