/*
 * The least a receiver on order server 1 can do: plain C, blocking POSIX
 * sockets, one connection at a time. It speaks the same exchange as the
 * shop (order header, item list packet, ready, file headers, blocks, one
 * acknowledgement per block) and writes the picture files the same way, as
 * each receive brings them. The reception benchmark measures the shop
 * against it.
 *
 *   bench_minimal_receiver ROOT        order folders must lie inside ROOT
 *   bench_minimal_receiver --raw ROOT  no exchange at all: u32 file count,
 *                                      u32 file size, then the files' bytes,
 *                                      stored in ROOT/raw-N
 *
 * Prints "port N" once listening on a free port of 127.0.0.1, then one line
 * per connection: "done" or "aborted". Ends when its standard input closes.
 */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

enum {
    RECEIVE_SIZE = 65536,
    CHUNK_SIZE = 4096,
    MAX_ITEM_LIST = 16 << 20,
    HEADER_INTS = 4,
    HEADER_TEXTS = 6,
    FOLDER_TEXT = 5,
    NAME_MAX_BYTES = 1024
};

static uint32_t u32_at(const unsigned char* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static int send_all(int fd, const void* data, size_t count) {
    const char* p = data;
    while (count > 0) {
        ssize_t n = send(fd, p, count, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 0;
        p += n;
        count -= (size_t)n;
    }
    return 1;
}

static int send_ack(int fd, int32_t value) {
    uint32_t v = (uint32_t)value;
    unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16),
                          (unsigned char)(v >> 24)};
    return send_all(fd, b, 4);
}

/* Whatever is available, at least one byte; 0 on close or failure. */
static ssize_t receive_some(int fd, void* buffer, size_t size) {
    for (;;) {
        ssize_t n = recv(fd, buffer, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0 ? n : 0;
    }
}

static int receive_exactly(int fd, void* buffer, size_t size) {
    char* p = buffer;
    while (size > 0) {
        ssize_t n = receive_some(fd, p, size);
        if (n == 0)
            return 0;
        p += n;
        size -= (size_t)n;
    }
    return 1;
}

static int write_all(int fd, const char* data, size_t count) {
    while (count > 0) {
        ssize_t n = write(fd, data, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 0;
        data += n;
        count -= (size_t)n;
    }
    return 1;
}

/* The order header: four words, then six texts (u32 L, L bytes ending in
 * NUL). Returns the bytes consumed, or -2 when it runs past the input. */
static int decode_header(const unsigned char* in, size_t size, int32_t* block_size,
                         int32_t* file_count, char* folder, size_t folder_size) {
    size_t at = HEADER_INTS * 4;
    if (size < at)
        return -2;
    *block_size = (int32_t)u32_at(in + 4);
    *file_count = (int32_t)u32_at(in + 8);
    for (int i = 0; i < HEADER_TEXTS; ++i) {
        if (size - at < 4)
            return -2;
        uint32_t length = u32_at(in + at);
        at += 4;
        if (size - at < length)
            return -2;
        if (i == FOLDER_TEXT) {
            size_t n = strnlen((const char*)in + at, length);
            if (n >= folder_size)
                return -2;
            memcpy(folder, in + at, n);
            folder[n] = '\0';
        }
        at += length;
    }
    return (int)at;
}

/* The item list packet: 8-byte header acknowledged with 8, then the body in
 * chunks of at most 4096 bytes, each acknowledged with its size. The body
 * is read and dropped: this receiver stores files only. */
static int receive_item_list(int fd, unsigned char* buffer) {
    unsigned char header[8];
    if (!receive_exactly(fd, header, sizeof header) || !send_ack(fd, 8))
        return 0;
    uint32_t length = u32_at(header + 4);
    if (length > MAX_ITEM_LIST)
        return 0;
    uint32_t stored = 0;
    while (stored < length) {
        uint32_t chunk = length - stored < CHUNK_SIZE ? length - stored : CHUNK_SIZE;
        if (!receive_exactly(fd, buffer, chunk) || !send_ack(fd, (int32_t)chunk))
            return 0;
        stored += chunk;
    }
    return 1;
}

/* A folder from the peer must name a new folder inside the root. */
static int folder_allowed(const char* root, const char* folder) {
    size_t n = strlen(root);
    return strncmp(folder, root, n) == 0 && folder[n] == '/' && folder[n + 1] != '\0' &&
           strstr(folder, "/..") == NULL;
}

static int plain_name(const char* name) {
    return name[0] != '\0' && strcmp(name, ".") != 0 && strcmp(name, "..") != 0 &&
           strpbrk(name, "/\\") == NULL;
}

/* One picture file: blocks of block_size bytes, each acknowledged with what
 * arrived in it, written as they come. Never takes more than the file size. */
static int receive_file(int fd, int out, uint64_t size, uint64_t block_size, char* buffer) {
    while (size > 0) {
        uint64_t block = 0;
        while (block < block_size && size > 0) {
            size_t want = size + 1 < RECEIVE_SIZE ? (size_t)size + 1 : RECEIVE_SIZE;
            ssize_t n = receive_some(fd, buffer, want);
            if (n == 0 || (uint64_t)n > size)
                return 0;
            if (out >= 0)
                write_all(out, buffer, (size_t)n);
            size -= (uint64_t)n;
            block += (uint64_t)n;
        }
        if (!send_ack(fd, (int32_t)block))
            return 0;
    }
    return 1;
}

static int receive_order(int fd, const char* root, char* buffer) {
    char folder[4096];
    int32_t block_size = 0, file_count = 0;
    ssize_t got = receive_some(fd, buffer, RECEIVE_SIZE);
    int used = got > 0 ? decode_header((unsigned char*)buffer, (size_t)got, &block_size,
                                       &file_count, folder, sizeof folder)
                       : -3;
    send_ack(fd, used);
    if (used < 0 || !receive_item_list(fd, (unsigned char*)buffer))
        return 0;
    if (!folder_allowed(root, folder) || mkdir(folder, 0777) != 0) {
        send_ack(fd, -1);
        return 0;
    }
    if (!send_ack(fd, 1))
        return 0;
    for (int32_t k = 0; k < file_count; ++k) {
        got = receive_some(fd, buffer, RECEIVE_SIZE);
        if (got == 0 || !send_ack(fd, (int32_t)got) || got < 20)
            return 0;
        uint64_t size = u32_at((unsigned char*)buffer + 12);
        uint32_t length = u32_at((unsigned char*)buffer + 16);
        if (length > (uint64_t)got - 20 || length > NAME_MAX_BYTES)
            return 0;
        char name[NAME_MAX_BYTES + 1];
        memcpy(name, buffer + 20, length);
        name[length] = '\0';
        char path[sizeof folder + sizeof name + 1];
        snprintf(path, sizeof path, "%s/%s", folder, name);
        if (!plain_name(name) || (size > 0 && block_size <= 0))
            return 0;
        int out = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        int ok = receive_file(fd, out, size, (uint64_t)block_size, buffer);
        if (out >= 0)
            close(out);
        if (!ok)
            return 0;
    }
    return 1;
}

/* The anchor without any exchange: the same bytes, no acknowledgements. */
static int receive_raw(int fd, const char* root, char* buffer, int serial) {
    unsigned char preamble[8];
    if (!receive_exactly(fd, preamble, sizeof preamble))
        return 0;
    uint32_t count = u32_at(preamble), size = u32_at(preamble + 4);
    char folder[4096];
    snprintf(folder, sizeof folder, "%s/raw-%d", root, serial);
    if (mkdir(folder, 0777) != 0)
        return 0;
    for (uint32_t k = 0; k < count; ++k) {
        char path[sizeof folder + 32];
        snprintf(path, sizeof path, "%s/IMG_%04u.jpg", folder, (unsigned)k);
        int out = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        uint64_t left = size;
        while (left > 0) {
            ssize_t n = receive_some(fd, buffer, left < RECEIVE_SIZE ? (size_t)left : RECEIVE_SIZE);
            if (n == 0) {
                if (out >= 0)
                    close(out);
                return 0;
            }
            if (out >= 0)
                write_all(out, buffer, (size_t)n);
            left -= (uint64_t)n;
        }
        if (out >= 0)
            close(out);
    }
    return 1;
}

int main(int argc, char** argv) {
    int raw = argc == 3 && strcmp(argv[1], "--raw") == 0;
    if (argc != 2 && !raw) {
        fprintf(stderr, "usage: %s [--raw] ROOT\n", argv[0]);
        return 2;
    }
    const char* root = argv[argc - 1];
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    struct sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (listener < 0 || bind(listener, (struct sockaddr*)&addr, sizeof addr) != 0 ||
        listen(listener, 25) != 0 || getsockname(listener, (struct sockaddr*)&addr, &length) != 0) {
        perror("listen");
        return 1;
    }
    char* buffer = malloc(RECEIVE_SIZE);
    if (!buffer)
        return 1;
    printf("port %d\n", ntohs(addr.sin_port));
    fflush(stdout);
    for (int serial = 1;; ++serial) {
        struct pollfd waits[2] = {{listener, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return 1;
        }
        char c;
        if (waits[1].revents && read(STDIN_FILENO, &c, 1) <= 0)
            return 0;
        if (!waits[0].revents)
            continue;
        int fd = accept4(listener, NULL, NULL, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            perror("accept");
            return 1;
        }
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        int ok = raw ? receive_raw(fd, root, buffer, serial) : receive_order(fd, root, buffer);
        close(fd);
        printf("%s\n", ok ? "done" : "aborted");
        fflush(stdout);
    }
}
