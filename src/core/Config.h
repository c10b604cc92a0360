#pragma once
// The configuration file bootrama.ini and the ini-file family through which it and
// msdos.sys are opened.

#include <string>
#include <string_view>

// The toolkit's ini-file object: one file name, reads and writes through the
// private-profile functions.
class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    virtual ~TIniFile() = default;
    const std::string& FileName() const { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The integer rule: "0x.." as hexadecimal, otherwise decimal; the default when the text
    // does not convert.
    long ReadInteger(std::string_view section, std::string_view key, long defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Raise EIniFileException "Unable to write to %s" when the platform write fails.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // The result of the deletion is not reported.
    void DeleteKey(std::string_view section, std::string_view key);

private:
    std::string fileName_;
};

// Construction offers to create a missing file (AskCreate, then WriteContents). C++ does
// not dispatch virtual calls from a base constructor, so each concrete class runs that
// step, through Init(), at the end of its own constructor.
class TIniFilePlus : public TIniFile {
public:
    // Whether the file exists now; the answer is also stored.
    bool FileOK();
    bool StoredFileOK() const { return fileOK_; }

protected:
    explicit TIniFilePlus(std::string fileName) : TIniFile(std::move(fileName)) {}
    void Init();
    virtual bool AskCreate() { return true; }
    virtual void WriteContents() = 0;

private:
    bool fileOK_ = false;
};

class TReadOnlyIni : public TIniFilePlus {
public:
    explicit TReadOnlyIni(std::string fileName);

protected:
    bool AskCreate() override { return false; }
    void WriteContents() override {}
};

class TSBootIni : public TIniFilePlus {
public:
    TSBootIni();  // works on GlobalInfo().IniFileName and asks to create a missing file
    void ReadConfig();
    void WriteContents() override;

protected:
    struct DeferInit {};
    explicit TSBootIni(DeferInit);
    bool AskCreate() override;
};

class TROSBootIni : public TSBootIni {
public:
    TROSBootIni();

protected:
    bool AskCreate() override;
};

// The loading used by the command-line modes: never offers to create the file; true when
// it existed.
bool LoadConfig();
// What the main window does when it is created and when it closes.
void ReadConfigAtStart();
void WriteConfigAtClose();
