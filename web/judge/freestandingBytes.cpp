// The byte functions of <cstring> that the judge needs, for a module linked
// without any C library. Built with -fno-builtin so that the loops are not
// turned back into calls to themselves.
#include <cstring>

extern "C" {

void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < count; ++i) to[i] = from[i];
    return destination;
}

void* memmove(void* destination, const void* source, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    if (to < from) {
        for (size_t i = 0; i < count; ++i) to[i] = from[i];
    } else {
        for (size_t i = count; i > 0; --i) to[i - 1] = from[i - 1];
    }
    return destination;
}

void* memset(void* destination, int value, size_t count) {
    unsigned char* to = static_cast<unsigned char*>(destination);
    for (size_t i = 0; i < count; ++i) to[i] = static_cast<unsigned char>(value);
    return destination;
}

size_t strlen(const char* text) {
    size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

int strcmp(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}
}
