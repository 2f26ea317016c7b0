#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// A temporary folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallyglass-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    std::string write(const std::string& name, const std::string& bytes) const
    {
        const auto file = m_path / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

    std::string writeRandom(const std::string& name, std::size_t size, unsigned seed) const
    {
        std::mt19937 generator(seed);
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = char(generator() & 0xFF);
        return write(name, bytes);
    }

private:
    std::filesystem::path m_path;
};
