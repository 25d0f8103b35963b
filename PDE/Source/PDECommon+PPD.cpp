// PPD access: text encodings, value mapping between controls and PPD
// choices, defaults, the conflict test and the two names keying the ticket.
#include "PDECommon.h"

#include <QComboBox>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iconv.h>

namespace PDE {

namespace {

struct EncodingName {
    const char* languageEncoding;
    uint32_t nsEncoding;
    uint32_t cfEncoding;
};

// The PPD's LanguageEncoding, compared exactly; anything else is Mac OS Roman.
constexpr EncodingName kLanguageEncodings[] = {
    {"ISOLatin1", kNSISOLatin1StringEncoding, kCFStringEncodingISOLatin1},
    {"WindowsANSI", kNSWindowsCP1252StringEncoding, kCFStringEncodingWindowsLatin1},
    {"JIS83-RKSJ", kNSShiftJISStringEncoding, kCFStringEncodingShiftJIS},
    {"UTF-8", kNSUTF8StringEncoding, kCFStringEncodingUTF8},
    {"UTF8", kNSUTF8StringEncoding, kCFStringEncodingUTF8},
};

struct IconvName {
    uint32_t nsEncoding;
    uint32_t cfEncoding;
    const char* iconvName;
};

constexpr IconvName kIconvNames[] = {
    {kNSISOLatin1StringEncoding, kCFStringEncodingISOLatin1, "ISO-8859-1"},
    {kNSWindowsCP1252StringEncoding, kCFStringEncodingWindowsLatin1, "CP1252"},
    {kNSShiftJISStringEncoding, kCFStringEncodingShiftJIS, "SHIFT_JIS"},
    {kNSUTF8StringEncoding, kCFStringEncodingUTF8, "UTF-8"},
    {kNSMacOSRomanStringEncoding, kCFStringEncodingMacRoman, "MACINTOSH"},
};

class IconvHandle {
public:
    explicit IconvHandle(const char* from) : cd_(iconv_open("UTF-8", from)) {}
    ~IconvHandle() {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

QString decodeWithIconv(const char* bytes, const char* from) {
    IconvHandle cd(from);
    if (!cd.valid())
        return QString();
    size_t inLeft = std::strlen(bytes);
    QByteArray out(int(inLeft * 4 + 4), Qt::Uninitialized);
    char* in = const_cast<char*>(bytes);
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    if (iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft) == size_t(-1))
        return QString(); // the bytes are not text in that encoding
    out.truncate(int(out.size() - int(outLeft)));
    return QString::fromUtf8(out);
}

} // namespace

uint32_t PDECommon::encodingForLanguageEncoding(const char* languageEncoding, bool cfForm) {
    if (languageEncoding) {
        for (const EncodingName& e : kLanguageEncodings) {
            if (std::strcmp(languageEncoding, e.languageEncoding) == 0)
                return cfForm ? e.cfEncoding : e.nsEncoding;
        }
    }
    return cfForm ? kCFStringEncodingMacRoman : kNSMacOSRomanStringEncoding;
}

namespace {
// libcups converts every text of a PPD it reads to UTF-8, from the file's
// LanguageEncoding or from ISO Latin 1 when the file has none. It names the
// result "UTF-8" only in the first case; an empty field on a record it read
// still means UTF-8 texts, which must not be decoded a second time.
const char* recordTextEncoding(ppd_file_t* ppd) {
    if (!ppd)
        return nullptr;
    return ppd->lang_encoding ? ppd->lang_encoding : "UTF-8";
}
} // namespace

uint32_t PDECommon::commonGetEncodingFromPPD(ppd_file_t* ppd) {
    return encodingForLanguageEncoding(recordTextEncoding(ppd), false);
}

uint32_t PDECommon::commonGetCFStringEncodingFromPPD(ppd_file_t* ppd) {
    return encodingForLanguageEncoding(recordTextEncoding(ppd), true);
}

QString PDECommon::commonDecodePPDString(const char* bytes, uint32_t encoding, bool cfForm) {
    if (!bytes)
        return QString();
    for (const IconvName& e : kIconvNames) {
        if ((cfForm ? e.cfEncoding : e.nsEncoding) != encoding)
            continue;
        if (e.nsEncoding == kNSUTF8StringEncoding) {
            const QByteArray utf8(bytes);
            return utf8.isValidUtf8() ? QString::fromUtf8(utf8) : QString();
        }
        return decodeWithIconv(bytes, e.iconvName);
    }
    return QString();
}

int PDECommon::commonFindPPDKeyPairsMatch(const PPDChoiceList* array, const QString& option,
                                          const QString& choice) {
    if (!array)
        return -1;
    for (qsizetype i = 0; i < array->size(); ++i) {
        const PPDChoiceEntry& entry = array->at(i);
        if (entry[kChoiceOptionKeyword] == option && entry[kChoiceKeyword] == choice)
            return int(i);
    }
    return -1;
}

int32_t PDECommon::commonGetTicketValueWithSInt32(const ControlTableEntry* row,
                                                  const QString& option, const QString* choice) {
    if (!row)
        return 0;
    if (row->kind == kControlKindPopUp)
        return choice ? commonFindPPDKeyPairsMatch(row->choices, option, *choice) : -1;
    if (row->kind == kControlKindCheckBox)
        return choice && (*choice == u"True" || *choice == u"TRUE" || *choice == u"true") ? 1 : 0;
    return 0;
}

int32_t PDECommon::commonGetDefualtValueFromPPDWithSInt32(const ControlTableEntry* row) {
    if (!row || !row->choices || row->choices->isEmpty())
        return 0;
    const QString defaultChoice = row->choices->first()[kChoiceDefaultKeyword];
    return commonGetTicketValueWithSInt32(row, QString::fromUtf8(row->ppdKeyword), &defaultChoice);
}

namespace {
int checkBoxChoiceIndex(const ControlTableEntry* row, bool checked) {
    if (!row->choices)
        return -1;
    return PDECommon::commonFindPPDKeyPairsMatch(row->choices, QString::fromUtf8(row->ppdKeyword),
                                                 checked ? QStringLiteral("True")
                                                         : QStringLiteral("False"));
}
} // namespace

int32_t PDECommon::commonGetControlValueFromPPDWithSInt32(const ControlTableEntry* row) {
    if (!row)
        return 0;
    if (row->kind == kControlKindCheckBox)
        return checkBoxChoiceIndex(row, commonGetControlValueWithSInt32(row) != 0);
    if (row->kind == kControlKindPopUp)
        return commonGetControlValueWithSInt32(row);
    return 0;
}

QString PDECommon::commonGetControlValueFromPPDWithNSString(const ControlTableEntry* row) {
    if (!row)
        return QString();
    if (row->kind == kControlKindCheckBox) {
        const int index = checkBoxChoiceIndex(row, commonGetControlValueWithSInt32(row) != 0);
        return index < 0 ? QString() : row->choices->at(index)[kChoiceText];
    }
    if (row->kind == kControlKindPopUp) {
        auto* menu = qobject_cast<QComboBox*>(row->control);
        if (!menu || menu->currentIndex() < 0)
            return QString();
        return menu->itemText(menu->currentIndex());
    }
    return QString();
}

bool PDECommon::commonIsPPDChoiceConflicted(ppd_file_t* ppd, const char* option,
                                            const char* choice) {
    if (!ppd || !option || !choice)
        return false;
    ppd_option_t* opt = ppdFindOption(ppd, option);
    if (!opt)
        return false;
    if (ppdIsMarked(ppd, option, choice))
        return opt->conflicted != 0;

    ppd_choice_t* previous = ppdFindMarkedChoice(ppd, option);
    // Copy the keyword: marking another choice may not move the record, but
    // the restore must not depend on it.
    const QByteArray previousKeyword = previous ? QByteArray(previous->choice) : QByteArray();
    ppdMarkOption(ppd, option, choice);
    const bool conflicted = opt->conflicted != 0;
    if (previous) {
        ppdMarkOption(ppd, option, previousKeyword.constData());
    } else if (ppd_choice_t* tried = ppdFindChoice(opt, choice)) {
        // Unmark the trial choice; the marked-choice index must agree with the flag.
        if (ppd->marked)
            cupsArrayRemove(ppd->marked, tried);
        tried->marked = 0;
    }
    return conflicted;
}

void PDECommon::commonLocalizePPD(ppd_file_t* ppd) {
    // libcups takes the language from the message locale (LC_ALL, LC_MESSAGES,
    // LANG; the variables themselves when the locale is not installed) and
    // replaces the option, choice and group texts by the PPD's translations
    // for it ("*de.Translation", "*de.VXBrightness Normal/..."), in UTF-8.
    // Texts without a translation keep their own.
    if (!ppd)
        return;
    // An empty variable counts as unset (it does for the C library and for
    // Qt, so the panel's own strings follow LANG), but libcups would take it
    // for a language of its own and localize nothing.
    for (const char* name : {"LC_ALL", "LC_MESSAGES"}) {
        const char* value = std::getenv(name);
        if (value && !*value)
            ::unsetenv(name);
    }
    ppdLocalize(ppd);
}

QString PDECommon::commonGetPPDProductName(PMPrintSettings*) {
    return QString::fromLatin1(kProductKey);
}

QString PDECommon::commonGetPrintQueueName(PMPrintSession* session) {
    PrintHost::PMPrinter* printer = nullptr;
    if (PrintHost::PMSessionGetCurrentPrinter(session, &printer) != PrintHost::noErr || !printer)
        return QString();
    const char* id = PrintHost::PMPrinterGetID(printer);
    return id ? QString::fromUtf8(id) : QString();
}

} // namespace PDE
