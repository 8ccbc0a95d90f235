// Drives the serial calls of the Windows build step by step for a Linux test that watches the
// far end: each argument is one step, each step prints one line "<step> <port> <result>[ |
// <reason>]" at once, so the test can follow while the program runs.
//   open:N  line:N:BAUDCODE:MODE  write:N:HEX  take:N  read:N:MS  close:N  lost:N  ports
//   mark:FILE (creates FILE)  wait:FILE (until FILE exists, at most 20 s)
#include "core/hex.h"
#include "serial/device_sio.h"
#include "serial/ports.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> Split(const std::string& step) {
    std::vector<std::string> parts;
    std::istringstream in(step);
    for (std::string part; std::getline(in, part, ':');)
        parts.push_back(part);
    return parts;
}

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string With(int result, const std::string& reason) {
    return std::to_string(result) + (reason.empty() ? "" : " | " + reason);
}

// Reads what arrives within `ms`, as the receive poll does; stops at a failure.
std::string ReadFor(serial::Sio& sio, int port, int ms) {
    std::string bytes;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        const int waiting = sio.sio_iqueue(port);
        if (waiting < 0)
            return std::to_string(waiting) + " " + core::BytesToHex(bytes);
        if (waiting > 0) {
            char buffer[1025];
            const int got = sio.sio_read(port, buffer, std::min(waiting, 1025));
            if (got < 0)
                return std::to_string(got) + " " + core::BytesToHex(bytes);
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return "0 " + core::BytesToHex(bytes);
}

// The COM ports the system lists, then each at its number.
void Ports() {
    std::string line = "ports";
    for (const serial::DeviceDetails& d : serial::SystemDeviceDetails())
        line += " " + d.path;
    line += " |";
    const auto devices = serial::SystemSerialDevices();
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (!devices[i].empty())
            line += " " + std::to_string(i + 1) + ":" + devices[i];
    Say(line);
}

// Runs one step; false for a step it does not know.
bool Step(serial::Sio& sio, const std::string& step) {
    if (step == "ports") {
        Ports();
        return true;
    }
    const auto parts = Split(step);
    if (parts.size() < 2)
        return false;
    const std::string& verb = parts[0];
    // a file name may hold colons ("Z:\tmp\x")
    const std::string file = step.substr(verb.size() + 1);
    if (verb == "mark") {
        std::ofstream(file) << "here\n";
        Say(step);
        return true;
    }
    if (verb == "wait") {
        const auto end = Clock::now() + std::chrono::seconds(20);
        while (!std::filesystem::exists(file) && Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Say(step + (std::filesystem::exists(file) ? "" : " timed out"));
        return true;
    }
    const int port = std::stoi(parts[1]);
    const std::string head = verb + " " + parts[1] + " ";
    if (verb == "open") {
        const int rc = sio.sio_open(port);
        Say(head + With(rc, sio.LastOpenError(port)));
    } else if (verb == "line" && parts.size() == 4) {
        const int rc =
            sio.sio_ioctl(port, std::stoi(parts[2], nullptr, 0), std::stoi(parts[3], nullptr, 0));
        Say(head + With(rc, sio.LastLineError(port)));
    } else if (verb == "write" && parts.size() == 3) {
        const std::string bytes = core::HexToBytes(parts[2]);
        const int rc = sio.sio_write(port, bytes.data(), static_cast<int>(bytes.size()));
        Say(head + With(rc, sio.LastWriteError(port)));
    } else if (verb == "take") {
        // one look at the queue and one read, timed: neither may wait for bytes
        const auto start = Clock::now();
        const int waiting = sio.sio_iqueue(port);
        char buffer[16];
        const int got = sio.sio_read(port, buffer, sizeof buffer);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        Say(head + std::to_string(waiting) + " " + std::to_string(got) + " " + std::to_string(ms));
    } else if (verb == "read" && parts.size() == 3) {
        Say(head + ReadFor(sio, port, std::stoi(parts[2])));
    } else if (verb == "close") {
        Say(head + std::to_string(sio.sio_close(port)));
    } else if (verb == "lost") {
        Say(head + "| " + sio.TakeLostReason(port));
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    serial::DeviceSio sio([](int port) { return serial::PortName(port); });
    for (int i = 1; i < argc; ++i) {
        if (!Step(sio, argv[i])) {
            Say(std::string("unknown step ") + argv[i]);
            return 2;
        }
    }
    return 0;
}
