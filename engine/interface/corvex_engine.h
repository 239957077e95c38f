/*
 * The boundary between the viewer and an engine library: the records that cross
 * it and the signatures of the exports. This is the one header both sides include. Every record
 * here is allocated and freed by the engine; the viewer reads them in place. Strings cross as
 * NUL-terminated UTF-16; the engine copies what it keeps.
 *
 * Versioned: CORVEX_RECORDS_VERSION changes with every change to a record's
 * layout. The viewer and the libraries it loads ship together, built from one
 * tree, so the viewer reads only records laid out by its own build.
 */
#ifndef CORVEX_ENGINE_H
#define CORVEX_ENGINE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
typedef char16_t CorvexChar;
#else
typedef uint16_t CorvexChar;
#endif

#define CORVEX_RECORDS_VERSION 2
#define CORVEX_STOP_STATE 3
#define CORVEX_DONE_STATE 4
#define CORVEX_OPEN_STATUS_TEXT_LENGTH 1024
#define CORVEX_STATUS_TEXT_LENGTH 256

/* Filled by the parse export when the store cannot be opened. */
typedef struct OpenStatus {
    int32_t code; /* the caller sets 1; the engine sets 0 on a failed open */
    CorvexChar text[CORVEX_OPEN_STATUS_TEXT_LENGTH];
} OpenStatus;

typedef struct CSThreadStatusMessage CSThreadStatusMessage;

/* The status message's operations, in slot order. */
typedef struct CSThreadStatusMessageOps {
    void (*destroy)(CSThreadStatusMessage* self);
    void (*copyFirstText)(CSThreadStatusMessage* self, CorvexChar* out, uint32_t capacity);
    /* Holds the second text's lock while copying. */
    void (*copySecondText)(CSThreadStatusMessage* self, CorvexChar* out, uint32_t capacity);
    /* Holds the second text's lock while writing, and sets secondChanged. */
    void (*setSecondText)(CSThreadStatusMessage* self, const CorvexChar* text);
} CSThreadStatusMessageOps;

/* Progress texts written by the viewer's worker and read by its progress
 * dialog. The engine creates and destroys it and never writes the texts. */
struct CSThreadStatusMessage {
    const CSThreadStatusMessageOps* ops;
    CorvexChar firstText[CORVEX_STATUS_TEXT_LENGTH];
    CorvexChar secondText[CORVEX_STATUS_TEXT_LENGTH];
    uint8_t firstChanged;
    uint8_t secondChanged;
    void* firstLock;
    void* secondLock;
};

typedef struct StatusBlock {
    int32_t* stopWord; /* 0 at start; CORVEX_STOP_STATE ends every walk at its next item */
    uint8_t* flag;
    uint32_t progressWindow; /* set by the viewer's progress dialog, not read by the engine */
    CSThreadStatusMessage* message;
} StatusBlock;

/* A property copied out of the store. With inFile set, bytes hold the UTF-16
 * path (NUL included) of a value file and byteCount is (length + 1) * 2. */
typedef struct ExportedProp {
    uint16_t id;
    uint16_t type;
    int32_t inFile;
    uint32_t byteCount;
    uint8_t* bytes;
} ExportedProp;

/* Ordered by id; equal ids keep the order the store gave them. */
typedef struct ExportedPropMap {
    ExportedProp** items;
    uint32_t count;
    uint32_t capacity;
} ExportedPropMap;

typedef struct FolderEntry FolderEntry;
typedef struct MailEntry MailEntry;

typedef struct FolderList {
    FolderEntry** items;
    uint32_t count;
    uint32_t capacity;
} FolderList;

typedef struct AttachmentRow {
    ExportedPropMap* tableRow; /* the attachment table's cells */
    ExportedPropMap* object;   /* the attachment object's own properties */
    /* The message an embedded-message attachment holds, read like any message
     * (its own attachments may hold messages again, to a bounded depth); null
     * for every other attachment. Freed with the row. */
    MailEntry* embedded;
} AttachmentRow;

typedef struct RecipientRow {
    ExportedPropMap* tableRow;
} RecipientRow;

typedef struct MailEntryList {
    MailEntry** items;
    uint32_t count;
    uint32_t capacity;
} MailEntryList;

typedef struct MailList {
    MailEntryList entries;
    uint32_t unused;
    uint32_t batchCount;     /* read by the continue-enumeration export */
    uint32_t lastBatchCount; /* written by it */
    void* cursor;            /* position in the folder's messages */
} MailList;

struct FolderEntry {
    ExportedPropMap* props;
    FolderList* children;
    MailList* mails;
    uint32_t nidLow;
    uint32_t nidHigh;
};

typedef struct AttachmentRowList {
    AttachmentRow** items;
    uint32_t count;
    uint32_t capacity;
} AttachmentRowList;

typedef struct RecipientRowList {
    RecipientRow** items;
    uint32_t count;
    uint32_t capacity;
} RecipientRowList;

struct MailEntry {
    ExportedPropMap* props;
    AttachmentRowList* attachments;
    RecipientRowList* recipients;
};

typedef struct EngineSession EngineSession;

/* The folders the engine keeps below its temporary root, the viewer's working
 * folder: block dump files, the folder export of the parse test, and the value
 * files that hold out-of-line values of the records. Written with a "u" prefix
 * in front (u"" CORVEX_VALUE_FILE_FOLDER) they are UTF-16 literals. */
#define CORVEX_BLOCK_DUMP_FOLDER "Bin File"
#define CORVEX_EXPORT_FOLDER "Folder"
#define CORVEX_VALUE_FILE_FOLDER "GUIDTempFiles"

/* What the create export hands out and the delete export takes back. */
typedef struct EngineHandle {
    CorvexChar* storePath;
    FolderList* rootFolders; /* null until the first root or all-folders enumeration */
    EngineSession* session;
    StatusBlock* status;
} EngineHandle;

/* The engine's few messages to the user (a heap identifier that names no
 * allocation, a folder the export cannot create) are shown by the program that
 * loaded the library: a program that exports a function of this name and type
 * gets them as a modal box it shows and closes before returning. Without one
 * they go to standard error. */
#define CORVEX_HOST_MESSAGE_FUNCTION "CorvexHostShowMessage"
typedef void (*CorvexHostShowMessageFn)(const char* textUtf8, const char* captionUtf8);

/* Export signatures. Every export checks its handle and returns its fixed
 * result whatever happens; only OpenStatus reports a failure. */
typedef int32_t (*CorvexCreateFn)(const CorvexChar* storePath, EngineHandle** handle,
                                  const CorvexChar* tempRoot, OpenStatus* status);
typedef int32_t (*CorvexParseFn)(const CorvexChar* storePath, EngineHandle* handle,
                                 const CorvexChar* tempRoot, OpenStatus* status);
typedef int32_t (*CorvexParseTestFn)(const CorvexChar* tempRoot, const CorvexChar* storePath);
typedef int32_t (*CorvexEnumRootFolderFn)(EngineHandle* handle, void* unused);
typedef int32_t (*CorvexEnumChildFolderFn)(FolderEntry* folder, EngineHandle* handle, void* unused);
typedef int32_t (*CorvexEnumAllFoldersFn)(EngineHandle* handle, void* unused);
typedef int32_t (*CorvexEnumChildMailsFn)(FolderEntry* folder, EngineHandle* handle, void* unused,
                                          uint32_t firstIndex, uint32_t maximumCount);
typedef int32_t (*CorvexEnumChildMailsNextFn)(FolderEntry* folder, EngineHandle* handle,
                                              void* unused);
typedef int32_t (*CorvexSaveFolderHierarchyFn)(uint32_t nidLow, uint32_t nidHigh,
                                               const CorvexChar* target, EngineHandle* handle,
                                               void* unused);
typedef int32_t (*CorvexDeleteFn)(EngineHandle* handle, void* unused);

/* A value file is written when it is first read, not when its record is made:
 * before opening the path an ExportedProp with inFile set names, the reader
 * asks the handle whose records hold it to write the file. The file then
 * holds the value's bytes, as it would have from the start, until the record
 * is freed. The export answers for values of its own handle's records only,
 * so a reader that holds several handles may ask each in turn. */
#define CORVEX_ENSURE_VALUE_FILE_EXPORT "_ExpEnsureValueFile"
#define CORVEX_VALUE_FILE_READY 1     /* the file is there to be read */
#define CORVEX_VALUE_FILE_UNKNOWN 0   /* no value of this handle's records still held */
#define CORVEX_VALUE_FILE_FAILED (-1) /* the file could not be written (a full disk) */
typedef int32_t (*CorvexEnsureValueFileFn)(EngineHandle* handle, const ExportedProp* prop);

#ifdef __cplusplus
}
#endif

#endif /* CORVEX_ENGINE_H */
