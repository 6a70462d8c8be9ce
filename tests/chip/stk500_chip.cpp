// A programmer for the tests: speaks STK500 version 1 on the far side of a pseudo-terminal and
// keeps an emulated chip (signature, flash, EEPROM) in memory.
//
//   stk500_chip <state dir> <signature hex, e.g. 1e9301> <flash bytes> <eeprom bytes> [mode]
//
// Prints its process id and the terminal's path on one line, then serves until killed. After every
// command that changes the chip it writes <state dir>/flash.bin, eeprom.bin and writes.txt
// (erases and writes so far) when a session ends and on an erase. Modes: "corrupt" (flash byte 0
// reads back wrong), "silent-after-N" (stops answering after N writes; writes silent.txt then).
#include <pty.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint8_t kInSync = 0x14;
constexpr uint8_t kOk = 0x10;
constexpr uint8_t kNoSync = 0x15;
constexpr uint8_t kEop = 0x20;

int g_master = -1;
std::string g_dir;
std::vector<uint8_t> g_flash, g_eeprom;
uint8_t g_signature[3] = {};
int g_erases = 0, g_writes = 0;
unsigned g_highestWrite = 0;
bool g_corrupt = false;
int g_silentAfter = -1;
bool g_silent = false;
unsigned g_address = 0; // words for the flash, bytes for the EEPROM

uint8_t ReadByte()
{
    uint8_t byte = 0;
    for (;;) {
        const ssize_t n = read(g_master, &byte, 1);
        if (n == 1)
            return byte;
        if (n < 0)
            usleep(10000); // no reader on the other side yet (EIO)
    }
}

void Send(const std::vector<uint8_t> &bytes)
{
    if (g_silent)
        return;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(g_master, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else
            usleep(1000);
    }
}

void Dump(const std::string &name, const std::vector<uint8_t> &bytes)
{
    std::ofstream(g_dir + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void Save()
{
    Dump("flash.bin", g_flash);
    Dump("eeprom.bin", g_eeprom);
    std::ofstream(g_dir + "/writes.txt") << g_erases << ' ' << g_writes << '\n';
}

// Reads `count` bytes and the end marker; answers "in sync" and `reply`, or "no sync".
bool Command(size_t count, std::vector<uint8_t> &args)
{
    args.clear();
    for (size_t i = 0; i < count; ++i)
        args.push_back(ReadByte());
    if (ReadByte() != kEop) {
        Send({ kNoSync });
        return false;
    }
    return true;
}

void Reply(std::vector<uint8_t> body = {})
{
    body.insert(body.begin(), kInSync);
    body.push_back(kOk);
    Send(body);
}

uint8_t Parameter(uint8_t which)
{
    switch (which) {
    case 0x80:
        return 2; // hardware version
    case 0x81:
        return 1; // software major
    case 0x82:
        return 18; // software minor
    case 0x84:
        return 50; // target voltage, 5.0 V
    default:
        return 0;
    }
}

// Flash byte 0 as read back: in "corrupt" mode wrong once a later byte was written (so the
// readback while writing it passes and the verify fails).
uint8_t FlashRead(unsigned address)
{
    if (address >= g_flash.size())
        return 0xff;
    const uint8_t byte = g_flash[address];
    return g_corrupt && address == 0 && g_highestWrite > 0 ? byte ^ 0x01 : byte;
}

void Written(unsigned address)
{
    g_highestWrite = std::max(g_highestWrite, address);
    ++g_writes;
    if (g_silentAfter >= 0 && g_writes >= g_silentAfter && !g_silent) {
        g_silent = true;
        Save();
        std::ofstream(g_dir + "/silent.txt") << "silent\n";
    }
}

void Erase()
{
    std::fill(g_flash.begin(), g_flash.end(), 0xff);
    std::fill(g_eeprom.begin(), g_eeprom.end(), 0xff);
    ++g_erases;
    Save();
}

uint8_t Universal(const std::vector<uint8_t> &in)
{
    const unsigned address = (in[1] << 8) | in[2];
    const unsigned flashByte = address * 2 + ((in[0] & 0x08) ? 1 : 0);
    switch (in[0]) {
    case 0x30:
        return g_signature[in[2] % 3];
    case 0x20:
    case 0x28:
        return FlashRead(flashByte);
    case 0x40:
    case 0x48:
        if (flashByte < g_flash.size())
            g_flash[flashByte] = in[3];
        Written(flashByte);
        return 0;
    case 0xa0:
        return address < g_eeprom.size() ? g_eeprom[address] : 0xff;
    case 0xc0:
        if (address < g_eeprom.size())
            g_eeprom[address] = in[3];
        Written(0);
        return 0;
    case 0xac:
        if (in[1] & 0x80)
            Erase();
        return 0;
    default:
        return 0xff;
    }
}

void Serve()
{
    std::vector<uint8_t> args;
    for (;;) {
        const uint8_t command = ReadByte();
        switch (command) {
        case 0x30: // get sync
        case 0x50: // enter programming mode
            if (Command(0, args))
                Reply();
            break;
        case 0x51: // leave programming mode
            if (Command(0, args)) {
                Save();
                Reply();
            }
            break;
        case 0x41: // get parameter
            if (Command(1, args))
                Reply({ Parameter(args[0]) });
            break;
        case 0x40: // set parameter
            if (Command(2, args))
                Reply();
            break;
        case 0x42: // set device
            if (Command(20, args))
                Reply();
            break;
        case 0x45: { // extended device parameters: a count, then count - 1 bytes
            const uint8_t count = ReadByte();
            if (Command(count > 0 ? count - 1u : 0u, args))
                Reply();
            break;
        }
        case 0x52: // chip erase
            if (Command(0, args)) {
                Erase();
                Reply();
            }
            break;
        case 0x55: // load address, low byte first
            if (Command(2, args)) {
                g_address = args[0] | (args[1] << 8);
                Reply();
            }
            break;
        case 0x56: // universal: the serial programming instruction of the chip itself
            if (Command(4, args))
                Reply({ Universal(args) });
            break;
        case 0x64: { // program page: length high, low, memory, data
            const unsigned length = (ReadByte() << 8) | ReadByte();
            const uint8_t memory = ReadByte();
            std::vector<uint8_t> data;
            if (!Command(length, data))
                break;
            const bool flash = memory == 'F';
            std::vector<uint8_t> &target = flash ? g_flash : g_eeprom;
            const unsigned start = flash ? g_address * 2 : g_address;
            for (unsigned i = 0; i < length && start + i < target.size(); ++i)
                target[start + i] = data[i];
            Reply();
            Written(flash ? start + length - 1 : 0);
            break;
        }
        case 0x74: { // read page
            const unsigned length = (ReadByte() << 8) | ReadByte();
            const uint8_t memory = ReadByte();
            if (!Command(0, args))
                break;
            const bool flash = memory == 'F';
            const std::vector<uint8_t> &source = flash ? g_flash : g_eeprom;
            const unsigned start = flash ? g_address * 2 : g_address;
            std::vector<uint8_t> data;
            for (unsigned i = 0; i < length; ++i)
                data.push_back(flash                ? FlashRead(start + i)
                        : start + i < source.size() ? source[start + i]
                                                    : 0xff);
            Reply(data);
            break;
        }
        case 0x75: // read signature
            if (Command(0, args))
                Reply({ g_signature[0], g_signature[1], g_signature[2] });
            break;
        default:
            std::fprintf(stderr, "stk500_chip: unknown command 0x%02x\n", command);
            // Skip to the end marker and say so, as a real programmer does.
            while (ReadByte() != kEop) { }
            Send({ kInSync, 0x12 });
            break;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: stk500_chip <dir> <signature> <flash> <eeprom> [mode]\n");
        return 2;
    }
    g_dir = argv[1];
    const unsigned long signature = std::strtoul(argv[2], nullptr, 16);
    g_signature[0] = static_cast<uint8_t>(signature >> 16);
    g_signature[1] = static_cast<uint8_t>(signature >> 8);
    g_signature[2] = static_cast<uint8_t>(signature);
    g_flash.assign(std::strtoul(argv[3], nullptr, 0), 0xff);
    g_eeprom.assign(std::strtoul(argv[4], nullptr, 0), 0xff);
    const std::string mode = argc > 5 ? argv[5] : "";
    g_corrupt = mode == "corrupt";
    if (mode.rfind("silent-after-", 0) == 0)
        g_silentAfter = std::atoi(mode.c_str() + 13);

    int slave = -1;
    char name[256] = {};
    if (openpty(&g_master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios raw {};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    // The slave stays open here too, so the master never sees the far side hang up between
    // two programs that open it.
    std::printf("%d %s\n", static_cast<int>(getpid()), name);
    std::fflush(stdout);
    Save();
    Serve();
}
