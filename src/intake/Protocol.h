#pragma once

#include <cstdint>

// The WSJT-X UDP message protocol, as far as this program speaks it; the reader and the writer
// of Decode reports both take it from here.
//
// A datagram starts with the magic number, the schema and the message type. A Decode report
// (type 2) goes on, all numbers big-endian, texts as a 4-byte signed length L and L bytes
// (L <= 0: the empty text, nothing follows):
//
//   offset        field               read as
//   0             magic 0xADBCCBDA    must match, else the datagram is ignored
//   4             schema              discarded
//   8             message type        only byte 11 is tested (== 2) before decoding
//   12            Id (text)           Id, shown in the window caption
//   16+L1         new-decode flag     discarded
//   17+L1         time (ms of day)    TimeMs
//   21+L1         SNR (dB)            Snr, 16-bit
//   25+L1         DT (double, s)      DeltaTime
//   33+L1         delta frequency     discarded
//   37+L1         mode (text)         Mode ("~" FT8, "+" FT4)
//   41+L1+L2      message (text)      Message
//   45+L1+L2+L3   low confidence      LowConfidence; false when the datagram ends before it
//   46+L1+L2+L3   off air             OffAir; false when the datagram ends before it
namespace Protocol {

constexpr std::uint32_t Magic = 0xADBCCBDA;
// The schema the decoders of this family send.
constexpr std::uint32_t Schema = 2;
// The message types of the protocol; only Decode reports are read, the others are named for
// the tools and tests that send them.
enum class MessageType : std::uint32_t {
    Heartbeat = 0,
    Status = 1,
    Decode = 2,
    Clear = 3,
    Reply = 4,
    QsoLogged = 5,
    Close = 6,
    Replay = 7,
};
// The last byte of the big-endian message type, the only one the type filter looks at.
constexpr int TypeOffset = 11;
// The length that goes before each text.
constexpr int TextLengthBytes = 4;
// The largest payload of a UDP datagram over IPv4.
constexpr int MaxDatagramBytes = 65507;
// Where the decoders send unless told otherwise.
constexpr std::uint16_t DefaultPort = 2238;

} // namespace Protocol
