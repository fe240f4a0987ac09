/*
 * Quillon plug-in interface.
 *
 * A plug-in is a shared library (".so" on Linux, ".dll" on Windows) placed in
 * the shop's "plugin" folder. It exports the ten functions declared below,
 * with these exact names, using the platform's C calling convention. A
 * library that lacks any of them, or whose PluginAPIVersion does not return
 * PLUGIN_API_VERSION exactly, is not used.
 *
 * Texts are NUL-terminated single-byte strings in Windows-1252 (the Western
 * ANSI code page). On Linux the shop names a file by the text converted to
 * UTF-8: an order folder "M\xFCller-000001" is the folder "Müller-000001".
 *
 * Every text handed to a plug-in lies in a writable buffer owned by the
 * shop, PLUGIN_TEXT_SIZE bytes long (PLUGIN_SHIPPING_TEXT_SIZE for the
 * shipping texts), holding a copy of the current value. A plug-in may write
 * into the buffers it is allowed to rewrite, never past their end. A text
 * longer than its buffer reaches the plug-in cut to the buffer size less one.
 *
 * Threads: PreOrderTx, OnShippingHandling and PostOrderTx run on the shop's
 * user-interface thread, one call at a time. OnBeginDataTx, OnDataTx and
 * OnEndDataTx run on the reception threads, one per order being received.
 * Calls for different orders may therefore run at the same time, also at the
 * same time as the user-interface thread's calls. The shop takes no lock: a
 * plug-in must guard its own shared state.
 *
 * The three contexts are pointer-sized values that InitLibrary fills and the
 * shop passes back to every later call. Context 1 is the plug-in's parameter
 * table (or NULL for none); contexts 2 and 3 are the plug-in's own.
 */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define PLUGIN_EXPORT __declspec(dllexport)
#define PLUGIN_CALL __cdecl
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#define PLUGIN_CALL
#endif

/* The only version the shop accepts from PluginAPIVersion. */
#define PLUGIN_API_VERSION 0x01000000u

/* Sizes in bytes of the text buffers, terminating NUL included. */
#define PLUGIN_TEXT_SIZE 1024
#define PLUGIN_SHIPPING_TEXT_SIZE 128

/* One product line of a picture: so many of one product. */
typedef struct PictureTableItem {
    int32_t code;
    int32_t quantity;
} PictureTableItem;

/* One picture of the order, in the order of the order's picture list. */
typedef struct PictureTableEntry {
    const char* fileName;          /* plain file name inside the order folder */
    int32_t itemCount;             /* number of entries in items */
    const PictureTableItem* items; /* itemCount product lines */
} PictureTableEntry;

/* Parameter types of a PluginParam entry; PLUGIN_PARAM_END ends the table. */
enum PluginParamType {
    PLUGIN_PARAM_END = 0,
    PLUGIN_PARAM_FLAG = 1,
    PLUGIN_PARAM_INTEGER = 2,
    PLUGIN_PARAM_DECIMAL = 3,
    PLUGIN_PARAM_TEXT = 4,
    PLUGIN_PARAM_CHOICE = 5
};

/*
 * One parameter the shop may edit in its plug-in parameters dialog. The
 * table is an array of these, ended by an entry of type PLUGIN_PARAM_END,
 * owned by the plug-in. The shop writes edited values back in place: the
 * flag byte, the integer, the decimal, the text (into the plug-in's buffer,
 * cut to sizeOrIndex less one) and the choice index. It never writes the
 * name or the list of choices, and no call announces a change.
 *
 * The entry is 16 bytes on 32-bit platforms and 32 bytes on 64-bit ones,
 * where the pointers are 8 bytes wide.
 */
typedef struct PluginParam {
    int32_t type;     /* a PluginParamType */
    const char* name; /* shown as the parameter's name */
    union {
        uint8_t flag;        /* PLUGIN_PARAM_FLAG: 0 false, other true */
        int32_t integer;     /* PLUGIN_PARAM_INTEGER */
        float decimal;       /* PLUGIN_PARAM_DECIMAL */
        char* text;          /* PLUGIN_PARAM_TEXT: the plug-in's text buffer */
        const char* choices; /* PLUGIN_PARAM_CHOICE: each choice followed by ";" */
    } value;
    uint32_t sizeOrIndex; /* text: buffer size in bytes; choice: chosen index */
} PluginParam;

#ifdef __cplusplus
static_assert(sizeof(PluginParam) == (sizeof(void*) == 4 ? 16 : 32),
              "PluginParam must keep its published layout");
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
_Static_assert(sizeof(PluginParam) == (sizeof(void*) == 4 ? 16 : 32),
               "PluginParam must keep its published layout");
#endif

/*
 * The exports. Results other than those of PluginAPIVersion and
 * PluginCaption are ignored by the shop; return 0.
 */

/* Returns PLUGIN_API_VERSION. Called once while the shop loads plug-ins. */
typedef uint32_t(PLUGIN_CALL* PluginAPIVersionFn)(void);

/* The plug-in's display name; the text must live as long as the library. */
typedef const char*(PLUGIN_CALL* PluginCaptionFn)(void);

/* Called once after loading with the addresses of the three contexts, all
 * zero; store the parameter table (or leave NULL) in *context1. */
typedef int32_t(PLUGIN_CALL* InitLibraryFn)(void** context1, void** context2, void** context3);

/* Called once at shut-down, before the library is unloaded. */
typedef int32_t(PLUGIN_CALL* ReleaseLibraryFn)(void* context1, void* context2, void* context3);

/* Before an order number is given (also once at start-up, to check the
 * folder of the next order). May rewrite orderNumber and orderFolder;
 * rootpath is for reading only. User-interface thread. */
typedef int32_t(PLUGIN_CALL* PreOrderTxFn)(uint32_t counter, char* rootpath, char* orderNumber,
                                           char* orderFolder, void* context1, void* context2,
                                           void* context3);

/* When shipping is decided, after PreOrderTx. May set *flag1 and *flag2,
 * which start at 0 and hold what earlier plug-ins left. The texts are for
 * reading only. User-interface thread. */
typedef int32_t(PLUGIN_CALL* OnShippingHandlingFn)(char* email, char* orderNumber, char* shipping1,
                                                   char* shipping2, char* shipping3, void* context1,
                                                   void* context2, void* context3, uint32_t* flag1,
                                                   uint32_t* flag2);

/* Before the first picture file of an order arrives. Nothing is read back.
 * The table is valid until OnEndDataTx returns. Reception thread. */
typedef int32_t(PLUGIN_CALL* OnBeginDataTxFn)(char* email, char* orderNumber, char* orderFolder,
                                              const PictureTableEntry* pictures,
                                              int32_t pictureCount, void* context1, void* context2,
                                              void* context3);

/* After each picture file is written; fileIndex counts from 0. picture is
 * the table entry of the same index, or NULL when the order's picture list
 * has none. Nothing is read back. Reception thread. */
typedef int32_t(PLUGIN_CALL* OnDataTxFn)(int32_t fileIndex, char* orderNumber, char* orderFolder,
                                         char* fileName, const PictureTableEntry* picture,
                                         void* context1, void* context2, void* context3);

/* After the order's summary is saved. May rewrite email, orderNumber and
 * orderFolder. Not called for an aborted order. Reception thread. */
typedef int32_t(PLUGIN_CALL* OnEndDataTxFn)(char* email, char* orderNumber, char* orderFolder,
                                            const PictureTableEntry* pictures, int32_t pictureCount,
                                            void* context1, void* context2, void* context3);

/* After the order is complete. May rewrite orderNumber and orderFolder.
 * Not called for an aborted order. User-interface thread. */
typedef int32_t(PLUGIN_CALL* PostOrderTxFn)(char* orderNumber, char* orderFolder, void* context1,
                                            void* context2, void* context3);

/* Declarations for plug-in writers; define each of them with PLUGIN_EXPORT. */
PLUGIN_EXPORT uint32_t PLUGIN_CALL PluginAPIVersion(void);
PLUGIN_EXPORT const char* PLUGIN_CALL PluginCaption(void);
PLUGIN_EXPORT int32_t PLUGIN_CALL InitLibrary(void** context1, void** context2, void** context3);
PLUGIN_EXPORT int32_t PLUGIN_CALL ReleaseLibrary(void* context1, void* context2, void* context3);
PLUGIN_EXPORT int32_t PLUGIN_CALL PreOrderTx(uint32_t counter, char* rootpath, char* orderNumber,
                                             char* orderFolder, void* context1, void* context2,
                                             void* context3);
PLUGIN_EXPORT int32_t PLUGIN_CALL OnShippingHandling(char* email, char* orderNumber,
                                                     char* shipping1, char* shipping2,
                                                     char* shipping3, void* context1,
                                                     void* context2, void* context3,
                                                     uint32_t* flag1, uint32_t* flag2);
PLUGIN_EXPORT int32_t PLUGIN_CALL OnBeginDataTx(char* email, char* orderNumber, char* orderFolder,
                                                const PictureTableEntry* pictures,
                                                int32_t pictureCount, void* context1,
                                                void* context2, void* context3);
PLUGIN_EXPORT int32_t PLUGIN_CALL OnDataTx(int32_t fileIndex, char* orderNumber, char* orderFolder,
                                           char* fileName, const PictureTableEntry* picture,
                                           void* context1, void* context2, void* context3);
PLUGIN_EXPORT int32_t PLUGIN_CALL OnEndDataTx(char* email, char* orderNumber, char* orderFolder,
                                              const PictureTableEntry* pictures,
                                              int32_t pictureCount, void* context1, void* context2,
                                              void* context3);
PLUGIN_EXPORT int32_t PLUGIN_CALL PostOrderTx(char* orderNumber, char* orderFolder, void* context1,
                                              void* context2, void* context3);

#ifdef __cplusplus
}
#endif
