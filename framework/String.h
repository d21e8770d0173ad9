// CString: a counted 8-bit Shift-JIS string over std::string, and CStringArray.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

#include "framework/ShiftJis.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_str(text ? text : "") {}
    CString(const char* text, int length) : m_str(text, size_t(length)) {}
    CString(const std::string& text) : m_str(text) {}
    CString(std::string&& text) : m_str(std::move(text)) {}
    CString(char ch, int repeat = 1) : m_str(size_t(repeat), ch) {}

    int GetLength() const { return int(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    const char* c_str() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }
    char GetAt(int i) const { return m_str[size_t(i)]; }
    void SetAt(int i, char ch) { m_str[size_t(i)] = ch; }

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Index of the first ch / substring, or -1. Single-byte characters are never matched inside a
    // double-byte character.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    // Index of the last single-byte ch, stepping over double-byte characters; -1 when absent.
    int ReverseFind(char ch) const;

    void MakeUpper();
    void MakeLower();
    void TrimRight();
    void TrimLeft();

    void Format(const char* format, ...);
    void FormatV(const char* format, va_list args);

    // A writable buffer of at least minLength bytes plus the terminator; ReleaseBuffer ends the text at its
    // first zero (or at newLength).
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    CString& operator=(const char* text)
    {
        m_str = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other)
    {
        m_str += other.m_str;
        return *this;
    }
    CString& operator+=(const char* text)
    {
        m_str += text ? text : "";
        return *this;
    }
    CString& operator+=(char ch)
    {
        m_str += ch;
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_str); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_str + b); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_str != b.m_str; }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

private:
    std::string m_str;
};

class CStringArray {
public:
    int GetSize() const { return int(m_astr.size()); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_astr.empty(); }
    int Add(const CString& text)
    {
        m_astr.push_back(text);
        return GetSize() - 1;
    }
    void InsertAt(int index, const CString& text) { m_astr.insert(m_astr.begin() + index, text); }
    void RemoveAt(int index, int count = 1) { m_astr.erase(m_astr.begin() + index, m_astr.begin() + index + count); }
    void RemoveAll() { m_astr.clear(); }
    void SetSize(int size) { m_astr.resize(size_t(size)); }
    const CString& GetAt(int i) const { return m_astr[size_t(i)]; }
    void SetAt(int i, const CString& text) { m_astr[size_t(i)] = text; }
    CString& operator[](int i) { return m_astr[size_t(i)]; }
    const CString& operator[](int i) const { return m_astr[size_t(i)]; }
    std::vector<CString>& data() { return m_astr; }
    const std::vector<CString>& data() const { return m_astr; }

private:
    std::vector<CString> m_astr;
};
