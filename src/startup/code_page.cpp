#include "startup/code_page.h"

#include "startup/runtime_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <utility>

namespace kestrova {

namespace {

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);
const size_t kIconvFailed = static_cast<size_t>(-1);
constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

// One iconv conversion direction, closed when it goes out of scope.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_handle(iconv_open(to, from)) {
        if (m_handle == kNoHandle) {
            const int error = errno;
            throw RuntimeError(QStringLiteral("The code page conversion from %1 to %2 is not available: %3")
                                   .arg(QString::fromLatin1(from), QString::fromLatin1(to),
                                        QString::fromLocal8Bit(std::strerror(error))));
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    ~IconvHandle() { iconv_close(m_handle); }

    iconv_t get() const { return m_handle; }

private:
    iconv_t m_handle;
};

enum class Stop { Done, Invalid, Incomplete };

// Converts as much of the input as iconv accepts, appending the result to out. It stops at the end of
// the input (Done), at a sequence the source codeset rejects (Invalid) or at one cut short by the end of
// the input (Incomplete); in and inLeft then point at the offending bytes.
Stop convert(iconv_t handle, const char*& in, size_t& inLeft, QByteArray& out) {
    char buffer[1024];
    for (;;) {
        char* inPtr = const_cast<char*>(in);
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(handle, &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        in = inPtr;
        out.append(buffer, outPtr - buffer);
        if (result != kIconvFailed) {
            // A successful call has used up the input; anything left would loop forever, so it is refused.
            return inLeft == 0 ? Stop::Done : Stop::Invalid;
        }
        if (error == E2BIG) {
            continue;
        }
        return error == EINVAL ? Stop::Incomplete : Stop::Invalid;
    }
}

// Starts a conversion in the initial shift state.
void reset(iconv_t handle) {
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
}

// Writes what a stateful codeset needs to return to its initial shift state.
void finish(iconv_t handle, QByteArray& out) {
    char buffer[64];
    for (int attempt = 0; attempt < 16; ++attempt) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(handle, nullptr, nullptr, &outPtr, &outLeft);
        const int error = errno;
        out.append(buffer, outPtr - buffer);
        if (result != kIconvFailed || error != E2BIG) {
            return;
        }
    }
}

// The length of the UTF-8 character that starts with lead, so an unconvertible character is skipped whole.
size_t utf8Length(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

} // namespace

struct CodePage::Converters {
    explicit Converters(const char* codeset) : toUtf8("UTF-8", codeset), fromUtf8(codeset, "UTF-8") {}

    IconvHandle toUtf8;
    IconvHandle fromUtf8;
};

CodePage::CodePage(QByteArray codeset)
    : m_name(std::move(codeset)), m_converters(std::make_unique<Converters>(m_name.constData())) {}

CodePage::CodePage(const CodePage& other) : CodePage(other.m_name) {}

CodePage& CodePage::operator=(const CodePage& other) {
    if (this != &other) {
        CodePage copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CodePage::CodePage(CodePage&&) noexcept = default;
CodePage& CodePage::operator=(CodePage&&) noexcept = default;
CodePage::~CodePage() = default;

QByteArray CodePage::codesetForLocale(QByteArrayView langinfoCodeset) {
    static const char* const asciiNames[] = {"ANSI_X3.4-1968", "ANSI_X3.4-1986", "ASCII", "US-ASCII", "646"};
    if (langinfoCodeset.isEmpty()) {
        return QByteArrayLiteral("UTF-8");
    }
    for (const char* ascii : asciiNames) {
        if (langinfoCodeset.compare(QByteArrayView(ascii), Qt::CaseInsensitive) == 0) {
            return QByteArrayLiteral("UTF-8");
        }
    }
    return langinfoCodeset.toByteArray();
}

CodePage CodePage::system() {
    const char* codeset = nl_langinfo(CODESET);
    const QByteArray name = codesetForLocale(codeset != nullptr ? QByteArrayView(codeset) : QByteArrayView());
    try {
        return CodePage(name);
    } catch (const RuntimeError&) {
        // A locale whose codeset iconv cannot convert still gets a working code page.
        return CodePage(QByteArrayLiteral("UTF-8"));
    }
}

QByteArray CodePage::encode(QStringView text) const {
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    const iconv_t handle = m_converters->fromUtf8.get();
    reset(handle);
    const char* in = utf8.constData();
    size_t inLeft = static_cast<size_t>(utf8.size());
    while (inLeft > 0) {
        if (convert(handle, in, inLeft, out) == Stop::Done) {
            break;
        }
        // The code page lacks this character: it becomes "?", written in the code page's own bytes.
        const size_t skip = std::min(utf8Length(static_cast<unsigned char>(*in)), inLeft);
        in += skip;
        inLeft -= skip;
        const char* question = "?";
        size_t questionLeft = 1;
        convert(handle, question, questionLeft, out);
    }
    finish(handle, out);
    return out;
}

QString CodePage::decode(QByteArrayView bytes) const {
    if (bytes.isEmpty()) {
        return {};
    }
    QByteArray utf8;
    utf8.reserve(bytes.size() * 2);
    const iconv_t handle = m_converters->toUtf8.get();
    reset(handle);
    const char* in = bytes.data();
    size_t inLeft = static_cast<size_t>(bytes.size());
    while (inLeft > 0) {
        const Stop stop = convert(handle, in, inLeft, utf8);
        if (stop == Stop::Done) {
            break;
        }
        utf8.append(kReplacementUtf8);
        if (stop == Stop::Incomplete) {
            break;
        }
        ++in;
        --inLeft;
    }
    finish(handle, utf8);
    return QString::fromUtf8(utf8);
}

QByteArray CodePage::cut(QByteArrayView bytes, qsizetype maxBytes) const {
    if (maxBytes <= 0) {
        return {};
    }
    if (bytes.size() <= maxBytes) {
        return bytes.toByteArray();
    }
    const QByteArrayView head = bytes.first(maxBytes);
    QByteArray scratch;
    const iconv_t handle = m_converters->toUtf8.get();
    reset(handle);
    const char* in = head.data();
    size_t inLeft = static_cast<size_t>(head.size());
    while (inLeft > 0) {
        const Stop stop = convert(handle, in, inLeft, scratch);
        if (stop == Stop::Done) {
            break;
        }
        if (stop == Stop::Incomplete) {
            // A character runs past the limit: it is left out whole.
            return head.first(in - head.data()).toByteArray();
        }
        ++in;
        --inLeft;
    }
    return head.toByteArray();
}

} // namespace kestrova
