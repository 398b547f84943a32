#include "filelist/MediaLibrary.h"

#include <mutex>
#include <shared_mutex>
#include <vector>

#include <dlfcn.h>

namespace {
// The library's C interface, in its wide-character form.
struct Interface
{
    void *(*create)() = nullptr;
    std::size_t (*open)(void *, const wchar_t *) = nullptr;
    void (*close)(void *) = nullptr;
    std::size_t (*count)(void *, int kind, std::size_t number) = nullptr;
    const wchar_t *(*get)(void *, int kind, std::size_t number, const wchar_t *parameter,
                          int kindOfInfo, int kindOfSearch) = nullptr;
    bool complete = false;
};

template <typename Function> bool resolve(void *library, const char *name, Function *function)
{
    *function = reinterpret_cast<Function>(::dlsym(library, name));
    return *function != nullptr;
}

// Loaded once, by whichever thread asks first; never unloaded.
const Interface &interface()
{
    static const Interface loaded = [] {
        Interface functions;
        void *library = ::dlopen("libmediainfo.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return functions;
        functions.complete = resolve(library, "MediaInfo_New", &functions.create) &&
                             resolve(library, "MediaInfo_Open", &functions.open) &&
                             resolve(library, "MediaInfo_Close", &functions.close) &&
                             resolve(library, "MediaInfo_Count_Get", &functions.count) &&
                             resolve(library, "MediaInfo_Get", &functions.get);
        return functions;
    }();
    return loaded;
}

// Readers not in use. They are handed from call to call rather than deleted: the C interface
// keeps every reader in one unguarded table, which its own exit handlers may have destroyed
// before a worker thread ends.
struct IdleReaders
{
    std::mutex lock;
    std::vector<void *> handles;
    std::shared_mutex table; // held alone to make a reader, shared by every other call
};

IdleReaders &idle()
{
    static IdleReaders *readers = new IdleReaders; // outlives every thread that may use it
    return *readers;
}

constexpr int kInfoName = 0;
constexpr int kInfoText = 1;
} // namespace

MediaLibrary::MediaLibrary()
{
    if (!interface().complete)
        return;
    IdleReaders &readers = idle();
    const std::lock_guard<std::mutex> guard(readers.lock);
    if (readers.handles.empty()) {
        const std::unique_lock<std::shared_mutex> alone(readers.table);
        m_handle = interface().create();
    } else {
        m_handle = readers.handles.back();
        readers.handles.pop_back();
    }
}

MediaLibrary::~MediaLibrary()
{
    if (!m_handle)
        return;
    close();
    IdleReaders &readers = idle();
    const std::lock_guard<std::mutex> guard(readers.lock);
    readers.handles.push_back(m_handle);
}

bool MediaLibrary::open(const QString &path)
{
    if (!m_handle)
        return false;
    const std::shared_lock<std::shared_mutex> reading(idle().table);
    return interface().open(m_handle, path.toStdWString().c_str()) != 0;
}

void MediaLibrary::close()
{
    if (!m_handle)
        return;
    const std::shared_lock<std::shared_mutex> reading(idle().table);
    interface().close(m_handle);
}

std::size_t MediaLibrary::count(Kind kind) const
{
    // A stream number of -1 asks for the number of streams of the kind.
    if (!m_handle)
        return 0;
    const std::shared_lock<std::shared_mutex> reading(idle().table);
    return interface().count(m_handle, int(kind), std::size_t(-1));
}

QString MediaLibrary::text(Kind kind, std::size_t number, const wchar_t *field) const
{
    if (!m_handle)
        return QString();
    const std::shared_lock<std::shared_mutex> reading(idle().table);
    const wchar_t *answer =
        interface().get(m_handle, int(kind), number, field, kInfoText, kInfoName);
    return answer ? QString::fromWCharArray(answer) : QString();
}
