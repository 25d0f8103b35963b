#include "PrintingLayer.h"

#include <QString>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace PrintHost {

namespace {

// A ticket is a few kilobytes; anything past this is not one of ours.
constexpr off_t kMaxTicketSize = 64 * 1024 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now so that a failing close (delayed write error) can be reported.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// The system's reason in the user's language (Qt's translations of the common
// reasons, the C library's otherwise), as UTF-8.
std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + qt_error_string(errno).toStdString();
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::vector<std::string> dictionaryKeys(plist_t dict) {
    std::vector<std::string> keys;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    if (!iter)
        return keys;
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(dict, iter, &key, &item);
        if (!key)
            break;
        keys.emplace_back(key);
        std::free(key);
    }
    std::free(iter);
    return keys;
}

// Print settings nest a few levels (settings, product, queue, value).
constexpr int kMaxTicketDepth = 64;

constexpr const char* kNotKeptInXml = "holds a value that an XML property list cannot keep";

// Whether a value reads back as itself once the ticket is written as XML.
// A date there keeps whole seconds only, and one outside the calendar is
// written empty; a binary list's object reference (UID) comes back as a
// dictionary; a real that is not a number never compares equal.
bool survivesXml(plist_t node) {
    plist_t wrapper = plist_new_array();
    plist_array_append_item(wrapper, plist_copy(node));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(wrapper, &xml, &length);
    plist_free(wrapper);
    if (!xml)
        return false;
    plist_t back = nullptr;
    plist_from_xml(xml, length, &back);
    plist_to_xml_free(xml);
    const bool same = back && plist_get_node_type(back) == PLIST_ARRAY &&
                      plist_array_get_size(back) == 1 &&
                      plist_compare_node_value(node, plist_array_get_item(back, 0));
    if (back)
        plist_free(back);
    return same;
}

// Why a parsed ticket cannot be used as print settings, or null when it can.
// libplist keeps the length an XML string had in the file beside a copy that
// ends at the first NUL character; writing such a string reads past the copy's
// end. XML has no NUL character, so a file holding one is not a property list.
// Saving writes the whole ticket as XML, so a value XML cannot hold (a binary
// ticket's date with a fraction of a second or object reference, for two)
// would change another queue's settings: such a ticket is refused as well.
const char* unusableTicketNode(plist_t node, int depth) {
    if (depth > kMaxTicketDepth)
        return "is nested too deeply for a ticket";
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        if (!text || ::strnlen(text, length) != length)
            return "holds a string with a NUL character, not a property list";
        return survivesXml(node) ? nullptr : kNotKeptInXml;
    }
    case PLIST_ARRAY:
        for (uint32_t i = 0; i < plist_array_get_size(node); ++i) {
            if (const char* why = unusableTicketNode(plist_array_get_item(node, i), depth + 1))
                return why;
        }
        return nullptr;
    case PLIST_DICT: {
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        if (!iter)
            return "cannot be read";
        const char* why = nullptr;
        for (;;) {
            // Keys are not read here: holdsKeyWithNul checks them once every
            // string is known to be whole.
            plist_t item = nullptr;
            plist_dict_next_item(node, iter, nullptr, &item);
            if (!item)
                break;
            why = unusableTicketNode(item, depth + 1);
            if (why)
                break;
        }
        std::free(iter);
        return why;
    }
    default:
        return survivesXml(node) ? nullptr : kNotKeptInXml;
    }
}

// A binary list's UTF-16 key may hold U+0000, and libplist aborts the
// process when such a key is read. The XML writer writes a key's whole
// length, so the NUL shows in its text. Only for a tree whose strings are
// whole: the writer would read a cut string past its end.
bool holdsKeyWithNul(plist_t root) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    if (!xml)
        return true;
    const bool nul = std::memchr(xml, '\0', length) != nullptr;
    plist_to_xml_free(xml);
    return nul;
}

} // namespace

PMPrintSettings::PMPrintSettings() : dict_(plist_new_dict()) {}

PMPrintSettings::PMPrintSettings(plist_t adoptedDictionary) : dict_(adoptedDictionary) {
    // Settings are always a dictionary; anything else given here is dropped.
    if (!dict_ || plist_get_node_type(dict_) != PLIST_DICT) {
        if (dict_)
            plist_free(dict_);
        dict_ = plist_new_dict();
    }
}

PMPrintSettings::~PMPrintSettings() {
    plist_free(dict_);
}

std::vector<std::string> PMPrintSettings::keys() const {
    return dictionaryKeys(dict_);
}

void PMPrintSettings::assign(const PMPrintSettings& other) {
    if (&other == this)
        return;
    for (const auto& key : dictionaryKeys(dict_))
        plist_dict_remove_item(dict_, key.c_str());
    for (const auto& key : dictionaryKeys(other.dict_))
        plist_dict_set_item(dict_, key.c_str(),
                            plist_copy(plist_dict_get_item(other.dict_, key.c_str())));
}

std::unique_ptr<PMPrintSettings> PMPrintSettings::readFromFile(const std::string& path,
                                                               std::string* error) {
    auto fail = [&](std::string message) -> std::unique_ptr<PMPrintSettings> {
        if (error)
            *error = std::move(message);
        return nullptr;
    };

    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return fail(systemError("cannot open", path));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fail(systemError("cannot read", path));
    if (!S_ISREG(st.st_mode))
        return fail(path + " is not a regular file");
    if (st.st_size <= 0)
        return fail(path + " is empty, not a property list");
    if (st.st_size > kMaxTicketSize)
        return fail(path + " is too large for a property list ticket");

    std::vector<char> data(static_cast<size_t>(st.st_size));
    size_t used = 0;
    while (used < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + used, data.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(systemError("cannot read", path));
        if (n == 0)
            break;
        used += static_cast<size_t>(n);
    }
    data.resize(used);
    if (data.empty())
        return fail(path + " is empty, not a property list");

    plist_t root = nullptr;
    plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &root);
    if (!root)
        return fail(path + " is not a property list");
    if (plist_get_node_type(root) != PLIST_DICT) {
        plist_free(root);
        return fail(path + " is a property list whose root is not a dictionary");
    }
    if (const char* why = unusableTicketNode(root, 0)) {
        plist_free(root);
        return fail(path + " " + why);
    }
    if (holdsKeyWithNul(root)) {
        plist_free(root);
        return fail(path + " holds a key with a NUL character, not a property list");
    }
    return std::make_unique<PMPrintSettings>(root);
}

bool PMPrintSettings::writeToFile(const std::string& path, std::string* error) const {
    auto fail = [&](std::string message) {
        if (error)
            *error = std::move(message);
        return false;
    };
    if (path.empty())
        return fail("no ticket path given");

    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(dict_, &xml, &length);
    if (!xml)
        return fail("cannot serialise the print settings");
    std::unique_ptr<char, void (*)(char*)> xmlOwner(xml, plist_to_xml_free);

    // Keep the mode of a ticket being replaced; a new one is readable by all,
    // writable by its owner.
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return fail(path + " exists and is not a regular file");
        mode = existing.st_mode & 07777;
    }

    std::string temp = directoryOf(path) + "/.ticket-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    FileDescriptor fd(::mkostemp(name.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return fail(systemError("cannot create a temporary file beside", path));
    temp.assign(name.data());

    auto discard = [&](std::string message) {
        fd.close();
        ::unlink(temp.c_str());
        return fail(std::move(message));
    };
    if (!writeAll(fd.get(), xml, length))
        return discard(systemError("cannot write", temp));
    if (::fchmod(fd.get(), mode) != 0)
        return discard(systemError("cannot set the mode of", temp));
    if (::fsync(fd.get()) != 0)
        return discard(systemError("cannot flush", temp));
    if (!fd.close()) {
        ::unlink(temp.c_str());
        return fail(systemError("cannot close", temp));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string message = systemError("cannot replace", path);
        ::unlink(temp.c_str());
        return fail(message);
    }
    return true;
}

OSStatus PMSessionGetCurrentPrinter(PMPrintSession* session, PMPrinter** printer) {
    if (!session || !printer)
        return kPMInvalidParameter;
    *printer = session->currentPrinter();
    return *printer ? noErr : kPMNoDefaultPrinter;
}

const char* PMPrinterGetID(PMPrinter* printer) {
    return printer ? printer->id().c_str() : nullptr;
}

OSStatus PMPrinterCopyDeviceURI(PMPrinter* printer, std::string* uri) {
    if (!printer || !uri)
        return kPMInvalidParameter;
    if (!printer->deviceURI() || printer->deviceURI()->empty())
        return kPMKeyNotFound;
    *uri = *printer->deviceURI();
    return noErr;
}

OSStatus PMPrintSettingsGetValue(PMPrintSettings* settings, const char* key, plist_t* value) {
    if (!value)
        return kPMInvalidParameter;
    *value = nullptr;
    if (!settings || !key)
        return kPMInvalidParameter;
    *value = plist_dict_get_item(settings->dictionary(), key);
    return *value ? noErr : kPMKeyNotFound;
}

OSStatus PMPrintSettingsSetValue(PMPrintSettings* settings, const char* key, plist_t value,
                                 bool /*locked*/) {
    if (!settings || !key)
        return kPMInvalidParameter;
    // A null value clears the entry.
    if (!value) {
        if (plist_dict_get_item(settings->dictionary(), key))
            plist_dict_remove_item(settings->dictionary(), key);
        return noErr;
    }
    // Storing a node into itself (or into one of its own descendants) would
    // free what is being copied; copying first keeps both intact.
    plist_t copy = plist_copy(value);
    if (!copy)
        return kPMInvalidParameter;
    plist_dict_set_item(settings->dictionary(), key, copy);
    return noErr;
}

} // namespace PrintHost
