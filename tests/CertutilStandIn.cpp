// A stand-in for Windows' certutil.exe in the tests' Wine prefixes, where Wine's own prints
// nothing: it does one thing, `certutil -hashfile <file> SHA256`, and says it in the forms
// certutil uses on Windows 10 and 11 and on Windows 7, in English and in German, as
// PALVO_CERTUTIL_FORM chooses (10-en by default, 10-de, 7-en, 7-de). The digest comes from the
// system's BCrypt, never from Palvo's code, so that what the join script checks is checked
// against something it does not share.
//
// Every line ends CR LF and is written to standard output in the console's output code page.
// When PALVO_CERTUTIL_LOG names a file, each hashing run appends the file name it was given
// (UTF-8, CR LF) to it: a test sees that this program ran, not Wine's own.
//
// Standalone on purpose: the Linux build cross-compiles this one file with MinGW-w64.

#include <windows.h>

#include <bcrypt.h>

#include <array>
#include <string>
#include <vector>

namespace {

struct Form {
    const wchar_t* name;
    bool german;
    const wchar_t* header;  // before the file name and its colon
    bool pairs;             // "AB CD …" upper case rather than "abcd…"
    const wchar_t* completed;
    const wchar_t* failed;  // before the HRESULT
};

constexpr std::array kForms{
    Form{L"10-en", false, L"SHA256 hash of ", false, L"CertUtil: -hashfile command completed successfully.",
         L"CertUtil: -hashfile command FAILED: "},
    Form{L"10-de", true, L"SHA256-Hash von ", false, L"CertUtil: -hashfile-Befehl wurde erfolgreich ausgef\u00fchrt.",
         L"CertUtil: -hashfile-Befehl ist fehlgeschlagen: "},
    Form{L"7-en", false, L"SHA256 hash of file ", true, L"CertUtil: -hashfile command completed successfully.",
         L"CertUtil: -hashfile command FAILED: "},
    Form{L"7-de", true, L"SHA256-Hash der Datei ", true, L"CertUtil: -hashfile-Befehl wurde erfolgreich ausgef\u00fchrt.",
         L"CertUtil: -hashfile-Befehl ist fehlgeschlagen: "},
};

// The system's own words for the errors a file being read meets most, as Windows says them.
struct KnownError {
    DWORD code;
    const wchar_t* symbol;
    const wchar_t* english;
    const wchar_t* german;
};

constexpr std::array kKnownErrors{
    KnownError{ERROR_FILE_NOT_FOUND, L"ERROR_FILE_NOT_FOUND", L"The system cannot find the file specified.",
               L"Das System kann die angegebene Datei nicht finden."},
    KnownError{ERROR_PATH_NOT_FOUND, L"ERROR_PATH_NOT_FOUND", L"The system cannot find the path specified.",
               L"Das System kann den angegebenen Pfad nicht finden."},
    KnownError{ERROR_ACCESS_DENIED, L"ERROR_ACCESS_DENIED", L"Access is denied.", L"Zugriff verweigert"},
    KnownError{ERROR_SHARING_VIOLATION, L"ERROR_SHARING_VIOLATION",
               L"The process cannot access the file because it is being used by another process.",
               L"Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird."},
    KnownError{ERROR_INVALID_NAME, L"ERROR_INVALID_NAME",
               L"The filename, directory name, or volume label syntax is incorrect.",
               L"Die Syntax f\u00fcr den Dateinamen, Verzeichnisnamen oder die Datentr\u00e4gerbezeichnung ist falsch."},
};

constexpr DWORD kBlock = 1 << 20;

bool sameIgnoringCase(const wchar_t* a, const wchar_t* b)
{
    return ::CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

std::wstring environment(const wchar_t* name)
{
    const DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0)
        return {};
    std::wstring value(length, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), length));
    return value;
}

std::string encoded(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return {};
    const int length = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

void write(HANDLE to, const std::string& bytes)
{
    DWORD written = 0;
    for (std::size_t done = 0; done < bytes.size(); done += written) {
        if (!::WriteFile(to, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return;
    }
}

// Lines as certutil writes them: in the console's output code page, each ended by CR LF.
void say(const std::wstring& lines)
{
    UINT codePage = ::GetConsoleOutputCP();
    if (codePage == 0)
        codePage = ::GetOEMCP();
    write(::GetStdHandle(STD_OUTPUT_HANDLE), encoded(lines, codePage));
}

void complain(const std::wstring& line)
{
    write(::GetStdHandle(STD_ERROR_HANDLE), encoded(line + L"\r\n", ::GetOEMCP()));
}

void logRun(const std::wstring& file)
{
    const std::wstring log = environment(L"PALVO_CERTUTIL_LOG");
    if (log.empty())
        return;
    const HANDLE handle = ::CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    write(handle, encoded(file + L"\r\n", CP_UTF8));
    ::CloseHandle(handle);
}

std::wstring hex(unsigned value, int digits, bool upper)
{
    const wchar_t* const set = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring text(static_cast<std::size_t>(digits), L'0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = set[value & 0xF];
    return text;
}

std::wstring digestText(const std::array<unsigned char, 32>& digest, bool pairs)
{
    std::wstring text;
    for (unsigned char byte : digest) {
        if (pairs && !text.empty())
            text += L' ';
        text += hex(byte, 2, pairs);
    }
    return text;
}

// The SHA-256 of the file, read a block at a time; 0 or the Win32 error that stopped it.
DWORD hashFile(const std::wstring& file, std::array<unsigned char, 32>& digest)
{
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return ::GetLastError();

    DWORD error = ERROR_INVALID_FUNCTION;
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    DWORD objectLength = 0;
    ULONG got = 0;
    std::vector<unsigned char> object;
    if (BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
        BCRYPT_SUCCESS(::BCryptGetProperty(algorithm, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectLength),
                                           sizeof objectLength, &got, 0))) {
        object.resize(objectLength);
        if (BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, object.data(), objectLength, nullptr, 0, 0))) {
            std::vector<unsigned char> block(kBlock);
            for (;;) {
                DWORD read = 0;
                if (!::ReadFile(handle, block.data(), kBlock, &read, nullptr)) {
                    error = ::GetLastError();
                    break;
                }
                if (read == 0) {
                    if (BCRYPT_SUCCESS(::BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0)))
                        error = 0;
                    break;
                }
                if (!BCRYPT_SUCCESS(::BCryptHashData(hash, block.data(), read, 0)))
                    break;
            }
            ::BCryptDestroyHash(hash);
        }
    }
    if (algorithm)
        ::BCryptCloseAlgorithmProvider(algorithm, 0);
    ::CloseHandle(handle);
    return error;
}

// The failure as certutil reports it: the HRESULT with the Win32 code and its name, then the
// system's sentence for it.
std::wstring failure(const Form& form, DWORD error)
{
    const HRESULT result = HRESULT_FROM_WIN32(error);
    std::wstring text = std::wstring(form.failed) + L"0x" + hex(static_cast<unsigned>(result), 8, false) +
                        L" (WIN32: " + std::to_wstring(error);
    const KnownError* known = nullptr;
    for (const KnownError& candidate : kKnownErrors) {
        if (candidate.code == error)
            known = &candidate;
    }
    text += known ? std::wstring(L" ") + known->symbol + L")\r\n" : std::wstring(L")\r\n");
    std::wstring sentence;
    if (known) {
        sentence = form.german ? known->german : known->english;
    } else {
        wchar_t* buffer = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
            0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        if (length != 0)
            sentence.assign(buffer, length);
        ::LocalFree(buffer);
        while (!sentence.empty() && (sentence.back() == L'\r' || sentence.back() == L'\n' || sentence.back() == L' '))
            sentence.pop_back();
    }
    return text + L"CertUtil: " + sentence + L"\r\n";
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const HRESULT usage = HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER);
    if (argc != 4 || !sameIgnoringCase(argv[1], L"-hashfile") || !sameIgnoringCase(argv[3], L"SHA256")) {
        complain(L"CertUtil stand-in: usage: certutil -hashfile FILE SHA256");
        return usage;
    }
    std::wstring formName = environment(L"PALVO_CERTUTIL_FORM");
    if (formName.empty())
        formName = L"10-en";
    const Form* form = nullptr;
    for (const Form& candidate : kForms) {
        if (formName == candidate.name)
            form = &candidate;
    }
    if (!form) {
        complain(L"CertUtil stand-in: PALVO_CERTUTIL_FORM is " + formName + L", not 10-en, 10-de, 7-en or 7-de");
        return usage;
    }

    const std::wstring file = argv[2];
    logRun(file);
    std::array<unsigned char, 32> digest{};
    if (const DWORD error = hashFile(file, digest)) {
        say(failure(*form, error));
        return HRESULT_FROM_WIN32(error);
    }
    say(std::wstring(form->header) + file + L":\r\n" + digestText(digest, form->pairs) + L"\r\n" +
        form->completed + L"\r\n");
    return 0;
}
