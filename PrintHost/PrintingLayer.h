// The printing layer: session, printer and print settings, in the shape the
// print-dialog extension expects of its host. Print settings are one mutable
// property-list dictionary; a value read from it is the stored node itself, so
// later changes made through it are part of the settings.
#pragma once

#include <plist/plist.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace PrintHost {

using OSStatus = int32_t;
constexpr OSStatus noErr = 0;
constexpr OSStatus kPMInvalidParameter = -50;
constexpr OSStatus kPMNoDefaultPrinter = -30872;
constexpr OSStatus kPMKeyNotFound = -30888;

// A queue as the session sees it: its identifier (the CUPS queue name, or the
// one given on the command line) and its device URI, when known.
class PMPrinter {
public:
    PMPrinter(std::string id, std::optional<std::string> deviceURI)
        : id_(std::move(id)), deviceURI_(std::move(deviceURI)) {}
    const std::string& id() const { return id_; }
    const std::optional<std::string>& deviceURI() const { return deviceURI_; }

private:
    std::string id_;
    std::optional<std::string> deviceURI_;
};

class PMPrintSession {
public:
    void setCurrentPrinter(std::shared_ptr<PMPrinter> printer) { printer_ = std::move(printer); }
    PMPrinter* currentPrinter() const { return printer_.get(); }

private:
    std::shared_ptr<PMPrinter> printer_;
};

// Owns one dictionary node.
class PMPrintSettings {
public:
    PMPrintSettings();
    explicit PMPrintSettings(plist_t adoptedDictionary);
    ~PMPrintSettings();
    PMPrintSettings(const PMPrintSettings&) = delete;
    PMPrintSettings& operator=(const PMPrintSettings&) = delete;

    plist_t dictionary() const { return dict_; }

    // Replaces every entry with a copy of `other`'s. The dictionary node stays
    // the same one, so handles already taken from dictionary() remain valid.
    void assign(const PMPrintSettings& other);
    // The top-level keys, in stored order.
    std::vector<std::string> keys() const;

    // Reads an XML (or binary) property list whose root is a dictionary.
    // Returns null when the file cannot be read or is not such a list.
    static std::unique_ptr<PMPrintSettings> readFromFile(const std::string& path,
                                                         std::string* error);
    // Writes the settings as an XML property list, replacing the file
    // atomically (temporary file in the same directory, then rename).
    bool writeToFile(const std::string& path, std::string* error) const;

private:
    plist_t dict_;
};

OSStatus PMSessionGetCurrentPrinter(PMPrintSession* session, PMPrinter** printer);
// The printer's identifier, or null for a null printer. Valid while the printer lives.
const char* PMPrinterGetID(PMPrinter* printer);
// Copies the device URI into `uri`; kPMKeyNotFound when the printer has none.
OSStatus PMPrinterCopyDeviceURI(PMPrinter* printer, std::string* uri);
// `value` receives the stored node (not a copy), or null when the key is absent
// (status kPMKeyNotFound).
OSStatus PMPrintSettingsGetValue(PMPrintSettings* settings, const char* key, plist_t* value);
// Stores a copy of `value` under `key`; the caller keeps its own node. A null
// value removes the entry.
OSStatus PMPrintSettingsSetValue(PMPrintSettings* settings, const char* key, plist_t value,
                                 bool locked);

} // namespace PrintHost
