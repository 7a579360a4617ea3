#include "SyxMessages.h"

#include <cstdio>

#include "unit/FirmwareDecoder.h"
#include "unit/MidiStreamParser.h"
#include "unit/UnitMessages.h"

namespace {

std::string Format(const char* format, auto... args) {
    char line[160];
    std::snprintf(line, sizeof line, format, args...);
    return line;
}

SyxDescription DescribeProgramMessage(const std::vector<uint8_t>& m, SyxKind kind) {
    SyxDescription d;
    d.kind = kind;
    const char* name = kind == SyxKind::kProgramDump ? "program dump" : "program write";
    if (m.size() != kProgramMessageSize) {
        d.text = Format("%s of %zu bytes: the length is wrong, it must be %zu", name, m.size(),
                        kProgramMessageSize);
        return d;
    }
    d.program = m[kProgramNumberIndex];
    const bool checksumGood = DumpChecksumMatches(m.data(), m.size());
    d.wellFormed = checksumGood && IsProgramNumber(d.program);
    d.text = Format("%s, program %d%s, checksum %s", name, d.program,
                    IsProgramNumber(d.program) ? "" : " (no such location)",
                    checksumGood ? "good" : "bad");
    return d;
}

SyxDescription DescribeShort(const std::vector<uint8_t>& m) {
    SyxDescription d;
    const uint8_t code = m[kCodeIndex];
    if (m[4] == kFamilyFirmware && code == kCodeFirmwareStart) {
        d.kind = SyxKind::kFirmwareStart;
        d.wellFormed = true;
        d.text = "firmware update start";
    } else if (const char* meaning = StatusReplyMeaning(code)) {
        d.kind = SyxKind::kStatusReply;
        d.wellFormed = true;
        d.text = Format("status reply %02X (%s)", code, meaning);
    } else {
        d.text = Format("7-byte message with the unknown code %02X", code);
    }
    return d;
}

}  // namespace

SyxContents SplitSyx(const std::vector<uint8_t>& bytes) {
    SyxContents contents;
    MidiStreamParser parser;
    parser.onSysEx = [&contents](const uint8_t* b, size_t n) {
        contents.messages.emplace_back(b, b + n);
    };
    parser.onShortMessage = [&contents](const uint8_t* b, size_t n) {
        contents.problems.push_back("a short MIDI message " + Format("%02X", b[0]) +
                                    (n > 1 ? "..." : "") + " between the messages");
    };
    parser.onBrokenSysEx = [&contents](size_t received, MidiStreamParser::Broken why) {
        contents.problems.push_back(
            Format("a message broken off after %zu bytes (%s)", received,
                   why == MidiStreamParser::Broken::kTooLong ? "too long" : "status byte inside"));
    };
    parser.Feed(bytes.data(), bytes.size());
    if (parser.InSysEx()) contents.problems.push_back("the last message has no F7");
    if (parser.StrayBytes() > 0) {
        contents.problems.push_back(Format("%zu bytes outside any message", parser.StrayBytes()));
    }
    return contents;
}

SyxDescription DescribeSyx(const std::vector<uint8_t>& m) {
    const bool program = HasUnitHeader(m.data(), m.size(), kFamilyProgram);
    const bool firmware = HasUnitHeader(m.data(), m.size(), kFamilyFirmware);
    SyxDescription d;
    if (!program && !firmware) {
        d.text = Format("system-exclusive message of %zu bytes that is not the unit's", m.size());
        return d;
    }
    const uint8_t code = m[kCodeIndex];
    if (program && code == kCodeProgramDump)
        return DescribeProgramMessage(m, SyxKind::kProgramDump);
    if (program && code == kCodeProgramWrite) {
        return DescribeProgramMessage(m, SyxKind::kProgramWrite);
    }
    if (m.size() == kStatusReplySize) return DescribeShort(m);
    if (program && code == kCodeDumpRequest) {
        d.kind = SyxKind::kDumpRequest;
        d.program = m.size() == kDumpRequestSize ? m[kProgramNumberIndex] : 0;
        d.wellFormed = m.size() == kDumpRequestSize && IsProgramNumber(d.program);
        d.text = d.wellFormed ? Format("dump request for program %d", d.program)
                              : Format("dump request of %zu bytes for no program", m.size());
        return d;
    }
    if (firmware && code == kCodeFirmwareData) {
        d.kind = SyxKind::kFirmwareData;
        std::string why;
        const auto image = DecodeFirmwareData(m.data(), m.size(), &why);
        d.wellFormed = image.has_value();
        d.text = image ? Format("firmware data, image of %zu bytes, checksum good", image->size())
                       : "firmware data: " + why;
        return d;
    }
    d.text = Format("unit message of %zu bytes with the unknown code %02X", m.size(), code);
    return d;
}

bool IsProgramMessage(const SyxDescription& description) {
    return description.kind == SyxKind::kProgramDump || description.kind == SyxKind::kProgramWrite;
}
