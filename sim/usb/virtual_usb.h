/* The virtual USB unit: what its two drivers, its installer and the tests
 * share. Plain C, for the kernel drivers as well as the C++ side. */
#ifndef KAVIX_VIRTUAL_USB_H
#define KAVIX_VIRTUAL_USB_H

/* The bus device that the installer creates, and the id of the units the
 * bus reports as its children (the HID minidriver's match). */
#define VUSB_BUS_INSTANCE_ID L"ROOT\\KAVIXBUS\\0000"
#define VUSB_BUS_HARDWARE_ID L"ROOT\\KAVIXBUS"
#define VUSB_UNIT_COMPATIBLE_ID L"KAVIX\\UNIT"

/* Device parameter of the bus: the endpoints (REG_MULTI_SZ, "host:port"),
 * one unit each, kept across sessions of the prefix. */
#define VUSB_ENDPOINTS_VALUE L"Endpoints"
#define VUSB_MAX_UNITS 8
#define VUSB_MAX_ENDPOINT 63

/* The bus's control interface {6f1b3c52-8a4d-4e0b-9d57-2b7f0c4ad1e3}:
 * the installer and the tests change the endpoints and the write pacing
 * of a running bus through it. */
#define VUSB_CONTROL_GUID_INIT {0x6f1b3c52, 0x8a4d, 0x4e0b, {0x9d, 0x57, 0x2b, 0x7f, 0x0c, 0x4a, 0xd1, 0xe3}}

#define VUSB_CTL_CODE(function) (((0x22u) << 16) | ((function) << 2)) /* FILE_DEVICE_UNKNOWN, METHOD_BUFFERED */
/* Input: the endpoints as ASCII strings, each zero-terminated, then an
 * empty one. Units whose endpoint is no longer named are unplugged. */
#define IOCTL_VUSB_SET_ENDPOINTS VUSB_CTL_CODE(0x900)
/* Input: a 32-bit time in milliseconds that every output report is held
 * before the unit takes it (0: at once); VUSB_WRITES_STALLED holds them
 * until the time is changed again or the unit is unplugged. */
#define IOCTL_VUSB_SET_WRITE_DELAY VUSB_CTL_CODE(0x901)
#define VUSB_WRITES_STALLED 0xFFFFFFFFu

/* Reports of the unit: 64 bytes in each direction, no report id; on the
 * wire each travels as a 65-byte frame whose first byte is the id 0. */
#define VUSB_REPORT_BYTES 64
#define VUSB_FRAME_BYTES 65

#endif
