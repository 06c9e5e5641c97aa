#pragma once
// Shared by the quarantine tests: a removable stick E: to quarantine from, and clean-up of
// what a test leaves in the quarantine folder and on the desktop.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "quarantine/QuarantineFormat.h"
#include "quarantine/QuarantineStore.h"
#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"

class QuarantineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_stick.Plugged());
        char folder[kPathBufferSize] = {};
        ASSERT_TRUE(GetModuleDirectory(folder));
        m_quarantineFolder = std::string(folder) + "quarantine";
        m_quarantineExisted =
            ::GetFileAttributesA(m_quarantineFolder.c_str()) != INVALID_FILE_ATTRIBUTES;
        m_quarantineBefore = ListFolder(m_quarantineFolder);
        char desktop[MAX_PATH] = {};
        ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
        m_desktop = desktop;
        m_desktopBefore = ListFolder(m_desktop);
    }

    void TearDown() override {
        SetCopyFaultForTesting(0, 0);
        RemoveNew(m_quarantineFolder, m_quarantineBefore);
        if (!m_quarantineExisted) ::RemoveDirectoryA(m_quarantineFolder.c_str());
        RemoveNew(m_desktop, m_desktopBefore);
    }

    // Writes a file on the stick and returns its path there ("E:\\...").
    std::string Put(const std::string& relative, const std::string& bytes,
                    DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        EXPECT_TRUE(m_stick.WriteFile(relative, bytes, attributes)) << relative;
        return m_stick.Path(relative);
    }
    std::string QuarantinePath(const std::string& name) const {
        return m_quarantineFolder + "\\" + name;
    }
    std::string DesktopPath(const std::string& name) const { return m_desktop + "\\" + name; }
    // Replaces a desktop file, waiting out the shell while it reads the file for its icon.
    bool WriteOnDesktop(const std::string& name, const std::string& bytes) const {
        return WaitUntil([&] { return WriteFileBytes(DesktopPath(name), bytes); }, 3000);
    }
    // Quarantine files this test made, in name order.
    std::vector<std::string> NewQuarantineFiles() const {
        std::vector<std::string> names;
        for (const std::string& name : ListFolder(m_quarantineFolder))
            if (!Contains(m_quarantineBefore, name)) names.push_back(name);
        std::sort(names.begin(), names.end());
        return names;
    }

    static bool Exists(const std::string& path) {
        return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static std::string AllByteValues(size_t repeats) {
        std::string bytes;
        for (size_t r = 0; r < repeats; ++r)
            for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
        return bytes;
    }
    static std::string Coded(const std::string& content) {
        std::string coded = content;
        for (char& c : coded) c = static_cast<char>(static_cast<unsigned char>(c) + 0x1D);
        return coded;
    }

    TestDrive m_stick{'E', DriveKind::Removable};
    std::string m_quarantineFolder;  // no trailing backslash
    bool m_quarantineExisted = false;
    std::string m_desktop;

  private:
    static bool Contains(const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    static void RemoveNew(const std::string& folder, const std::vector<std::string>& before) {
        for (const std::string& name : ListFolder(folder)) {
            if (Contains(before, name)) continue;
            std::string path = folder + "\\" + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            // The shell's desktop may be reading a new file for its icon just now.
            WaitUntil([&] { return ::DeleteFileA(path.c_str()) || DeleteTree(path); }, 3000);
        }
    }

    std::vector<std::string> m_quarantineBefore;
    std::vector<std::string> m_desktopBefore;
};
