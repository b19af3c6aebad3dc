/* Declarations of the two kernel interfaces the virtual unit's drivers use
 * that MinGW-w64's DDK headers lack or get wrong: the HID minidriver
 * interface of the HID class driver, and the Winsock Kernel client
 * interface of NETIO.SYS. Only what the drivers call is declared; the
 * layouts are those of the Windows ABI. */
#ifndef KAVIX_KERNEL_INTERFACES_H
#define KAVIX_KERNEL_INTERFACES_H

#include <ddk/wdm.h>

/* ---- HID minidrivers ---- */

#define VUSB_HID_CTL_CODE(id) CTL_CODE(FILE_DEVICE_KEYBOARD, (id), METHOD_NEITHER, FILE_ANY_ACCESS)
#undef IOCTL_HID_GET_DEVICE_DESCRIPTOR
#undef IOCTL_HID_GET_REPORT_DESCRIPTOR
#undef IOCTL_HID_READ_REPORT
#undef IOCTL_HID_WRITE_REPORT
#undef IOCTL_HID_GET_STRING
#undef IOCTL_HID_GET_DEVICE_ATTRIBUTES
#define IOCTL_HID_GET_DEVICE_DESCRIPTOR VUSB_HID_CTL_CODE(0)
#define IOCTL_HID_GET_REPORT_DESCRIPTOR VUSB_HID_CTL_CODE(1)
#define IOCTL_HID_READ_REPORT VUSB_HID_CTL_CODE(2)
#define IOCTL_HID_WRITE_REPORT VUSB_HID_CTL_CODE(3)
#define IOCTL_HID_GET_STRING VUSB_HID_CTL_CODE(4)
#define IOCTL_HID_ACTIVATE_DEVICE VUSB_HID_CTL_CODE(7)
#define IOCTL_HID_DEACTIVATE_DEVICE VUSB_HID_CTL_CODE(8)
#define IOCTL_HID_GET_DEVICE_ATTRIBUTES VUSB_HID_CTL_CODE(9)

#define VUSB_HID_REVISION 1
/* The product string's id in IOCTL_HID_GET_STRING: 15 on Windows; Wine's
 * class driver asks with 2. */
#define VUSB_HID_STRING_ID_IPRODUCT 15
#define VUSB_WINE_HID_STRING_ID_IPRODUCT 2
#define VUSB_HID_DESCRIPTOR_TYPE 0x21
#define VUSB_HID_REPORT_DESCRIPTOR_TYPE 0x22

typedef struct {
    ULONG Revision;
    PDRIVER_OBJECT DriverObject;
    PUNICODE_STRING RegistryPath;
    ULONG DeviceExtensionSize;
    BOOLEAN DevicesArePolled;
    UCHAR Reserved[3];
} VUSB_HID_MINIDRIVER_REGISTRATION;

/* The HID class driver's extension of the device objects it creates over a
 * minidriver's physical device. */
typedef struct {
    PDEVICE_OBJECT PhysicalDeviceObject;
    PDEVICE_OBJECT NextDeviceObject;
    PVOID MiniDeviceExtension;
} VUSB_HID_DEVICE_EXTENSION;

#pragma pack(push, 1)
typedef struct {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdHID;
    UCHAR bCountry;
    UCHAR bNumDescriptors;
    UCHAR bReportType;
    USHORT wReportLength;
} VUSB_HID_DESCRIPTOR;
#pragma pack(pop)

typedef struct {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
    USHORT Reserved[11];
} VUSB_HID_DEVICE_ATTRIBUTES;

typedef struct {
    PUCHAR reportBuffer;
    ULONG reportBufferLen;
    UCHAR reportId;
} VUSB_HID_XFER_PACKET;

NTSTATUS NTAPI HidRegisterMinidriver(VUSB_HID_MINIDRIVER_REGISTRATION* registration);

/* ---- Winsock Kernel (connection sockets only) ---- */

typedef struct _VUSB_WSK_CLIENT VUSB_WSK_CLIENT;

typedef struct {
    const void* Dispatch;
} VUSB_WSK_SOCKET;

typedef struct {
    PMDL Mdl;
    ULONG Offset;
    SIZE_T Length;
} VUSB_WSK_BUF;

typedef NTSTATUS(NTAPI* VUSB_WSK_SOCKET_FN)(VUSB_WSK_CLIENT* client, USHORT family, USHORT type, ULONG protocol,
                                            ULONG flags, PVOID context, const void* dispatch, PEPROCESS process,
                                            PETHREAD thread, PVOID security, PIRP irp);

typedef struct {
    USHORT Version;
    USHORT Reserved;
    VUSB_WSK_SOCKET_FN WskSocket;
    PVOID WskSocketConnect;
    PVOID WskControlClient;
    PVOID WskGetAddressInfo;
    PVOID WskFreeAddressInfo;
    PVOID WskGetNameInfo;
} VUSB_WSK_PROVIDER_DISPATCH;

typedef struct {
    PVOID WskControlSocket;
    NTSTATUS(NTAPI* WskCloseSocket)(VUSB_WSK_SOCKET* socket, PIRP irp);
    NTSTATUS(NTAPI* WskBind)(VUSB_WSK_SOCKET* socket, PVOID localAddress, ULONG flags, PIRP irp);
    NTSTATUS(NTAPI* WskConnect)(VUSB_WSK_SOCKET* socket, PVOID remoteAddress, ULONG flags, PIRP irp);
    PVOID WskGetLocalAddress;
    PVOID WskGetRemoteAddress;
    NTSTATUS(NTAPI* WskSend)(VUSB_WSK_SOCKET* socket, VUSB_WSK_BUF* buffer, ULONG flags, PIRP irp);
    NTSTATUS(NTAPI* WskReceive)(VUSB_WSK_SOCKET* socket, VUSB_WSK_BUF* buffer, ULONG flags, PIRP irp);
    PVOID WskDisconnect;
    PVOID WskRelease;
    PVOID WskConnectEx;
    PVOID WskSendEx;
    PVOID WskReceiveEx;
} VUSB_WSK_PROVIDER_CONNECTION_DISPATCH;

typedef struct {
    USHORT Version;
    USHORT Reserved;
    PVOID WskClientEvent;
} VUSB_WSK_CLIENT_DISPATCH;

typedef struct {
    PVOID ClientContext;
    const VUSB_WSK_CLIENT_DISPATCH* Dispatch;
} VUSB_WSK_CLIENT_NPI;

typedef struct {
    ULONGLONG ReservedRegistrationState;
    PVOID ReservedRegistrationContext;
    KSPIN_LOCK ReservedRegistrationLock;
} VUSB_WSK_REGISTRATION;

typedef struct {
    VUSB_WSK_CLIENT* Client;
    const VUSB_WSK_PROVIDER_DISPATCH* Dispatch;
} VUSB_WSK_PROVIDER_NPI;

#define VUSB_WSK_VERSION_1_0 0x0100
#define VUSB_WSK_FLAG_CONNECTION_SOCKET 0x00000002
#define VUSB_WSK_INFINITE_WAIT 0xFFFFFFFFu

NTSTATUS NTAPI WskRegister(VUSB_WSK_CLIENT_NPI* client, VUSB_WSK_REGISTRATION* registration);
void NTAPI WskDeregister(VUSB_WSK_REGISTRATION* registration);
NTSTATUS NTAPI WskCaptureProviderNPI(VUSB_WSK_REGISTRATION* registration, ULONG waitTimeout,
                                     VUSB_WSK_PROVIDER_NPI* provider);
void NTAPI WskReleaseProviderNPI(VUSB_WSK_REGISTRATION* registration);

/* IPv4 socket address, as the WSK calls take it. */
typedef struct {
    USHORT family;
    USHORT port;      /* network byte order */
    ULONG address;    /* network byte order */
    UCHAR zero[8];
} VUSB_SOCKADDR_IN;

#define VUSB_AF_INET 2
#define VUSB_SOCK_STREAM 1
#define VUSB_IPPROTO_TCP 6

#endif
