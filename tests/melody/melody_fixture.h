#pragma once
// A clean melody store for each test, and ways to run the codec against a
// real open file.

#include "melody/mod_tambolin.h"
#include "platform/files/file_numbers.h"
#include "support/temp_files.h"

#include <functional>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace tambolin::testing {

using Note = std::pair<int, int>; // length code, pitch
using Part = std::vector<Note>;

class MelodyTest : public ::testing::Test {
protected:
    void SetUp() override {
        MOD_TAMBOLIN &m = mod();
        m.initialiseStore();
        m.kijyun = 1;
        m.mtitle.clear();
        m.fno = 0;
        ASSERT_TRUE(m_dir.isValid());
    }

    QString path(const QString &name) const { return m_dir.path(name); }

    // The bytes written to mod().fno while body runs.
    QByteArray captureWrites(const std::function<void()> &body) {
        const QString file = path(QStringLiteral("capture.bin"));
        const Integer n = FreeFile();
        Open(file, FileAccess::Write, n);
        mod().fno = n;
        body();
        Close(n);
        mod().fno = 0;
        return readFile(file);
    }

    Part part(int p) const {
        Part out;
        const MOD_TAMBOLIN &m = mod();
        for (int n = 1; n <= m.onpcnt(p); ++n)
            out.emplace_back(m.onpary(n, p), m.kaiary(n, p));
        return out;
    }

    void setPart(int p, const Part &notes) {
        MOD_TAMBOLIN &m = mod();
        m.onpcnt(p) = static_cast<Integer>(notes.size());
        for (std::size_t i = 0; i < notes.size(); ++i) {
            m.onpary(static_cast<long long>(i + 1), p) = static_cast<Integer>(notes[i].first);
            m.kaiary(static_cast<long long>(i + 1), p) = static_cast<Integer>(notes[i].second);
        }
    }

private:
    TempFolder m_dir;
};

} // namespace tambolin::testing
