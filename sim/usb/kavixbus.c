/* kavixbus.sys: the virtual USB bus that a simulated control unit is
 * plugged into. It keeps one TCP connection (Winsock Kernel) to each
 * configured unit endpoint, the wire of kavix-unitsim, and while a unit is
 * connected it reports a child device with the unit's identity: vendor and
 * product id and product string from the endpoint's identity record, one
 * 64-byte input and one 64-byte output report without report id. The HID
 * minidriver kavixhid.sys sits on that child and hands it the HID class
 * driver's requests; output reports go out as 65-byte frames, frames that
 * come in complete the pending input-report reads. A closed connection is an
 * unplug: the child is reported gone and Plug and Play removes it. */
#include "kernel_interfaces.h"
#include "virtual_usb.h"

#define POOL_TAG 0x6b787662u /* "bvxk" */

enum { kindBus = 0x42555321, kindChild = 0x554e4954 };

/* How long an unreachable endpoint rests between connection attempts, and
 * how long its identity record may take. */
#define RETRY_MS 250
#define CONNECT_WAIT_MS 3000
#define IDENTITY_WAIT_MS 2000
#define BUFFERED_REPORTS 32
#define RECEIVE_CHUNK 512
#define MAX_PRODUCT_CHARS 126

struct bus;
struct child;

/* One configured endpoint: the connection worker and, while the unit is
 * connected and identified, its child device. */
struct unit {
    struct bus* bus;
    ULONG number;
    char endpoint[VUSB_MAX_ENDPOINT + 1];
    VUSB_SOCKADDR_IN address;
    HANDLE thread;
    KEVENT wake;   /* stop, a queued write, a new write pacing */
    KEVENT exited;
    BOOLEAN stopping;
    struct child* child; /* under the bus lock */

    /* Used by the worker thread only. */
    VUSB_WSK_SOCKET* socket;
    PIRP controlIrp, closeIrp, sendIrp, receiveIrp;
    KEVENT controlDone, closeDone, sendDone, receiveDone;
    PMDL sendMdl, receiveMdl;
    UCHAR sendBuffer[VUSB_FRAME_BYTES];
    UCHAR receiveBuffer[RECEIVE_CHUNK];
    UCHAR frame[VUSB_FRAME_BYTES];
    ULONG frameFill;
};

struct bus {
    ULONG kind;
    PDEVICE_OBJECT self, pdo, lower;
    UNICODE_STRING controlLink;
    KSPIN_LOCK lock; /* units, children, their queues */
    struct unit* units[VUSB_MAX_UNITS];
    ULONG writeDelayMs;
    BOOLEAN removing;
};

struct child {
    ULONG kind;
    PDEVICE_OBJECT self;
    struct bus* bus;
    struct unit* unit; /* NULL once unplugged or removed */
    ULONG number;
    USHORT vendorId, productId;
    WCHAR product[MAX_PRODUCT_CHARS + 1];
    BOOLEAN present;   /* connected: reported among the bus's children */
    BOOLEAN reported;  /* Plug and Play has been told of it */
    BOOLEAN removed;   /* surprise-removed or removed */
    LIST_ENTRY reads;  /* pending input-report reads */
    LIST_ENTRY writes; /* output reports waiting for the unit */
    UCHAR buffered[BUFFERED_REPORTS][VUSB_REPORT_BYTES];
    ULONG bufferedFirst, bufferedCount;
};

static const UCHAR reportDescriptor[] = {
    0x06, 0x00, 0xFF, /* usage page: vendor defined */
    0x09, 0x01,       /* usage 1 */
    0xA1, 0x01,       /* collection: application */
    0x15, 0x00,       /*   logical minimum 0 */
    0x26, 0xFF, 0x00, /*   logical maximum 255 */
    0x75, 0x08,       /*   report size 8 bits */
    0x95, 0x40,       /*   report count 64 */
    0x09, 0x01,       /*   usage 1 */
    0x81, 0x02,       /*   input: data, variable, absolute */
    0x95, 0x40,       /*   report count 64 */
    0x09, 0x01,       /*   usage 1 */
    0x91, 0x02,       /*   output: data, variable, absolute */
    0xC0,             /* end collection */
};

static const GUID controlGuid = VUSB_CONTROL_GUID_INIT;
static PDRIVER_OBJECT busDriver;
static VUSB_WSK_REGISTRATION wskRegistration;
static VUSB_WSK_PROVIDER_NPI wsk;
static BOOLEAN wskReady;
static const VUSB_WSK_CLIENT_DISPATCH wskClient = {VUSB_WSK_VERSION_1_0, 0, NULL};

/* ---- small helpers ---- */

static ULONGLONG nowMs(void)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER count = KeQueryPerformanceCounter(&frequency);
    return (ULONGLONG)count.QuadPart * 1000 / (ULONGLONG)frequency.QuadPart;
}

static LARGE_INTEGER relativeMs(ULONGLONG ms)
{
    LARGE_INTEGER timeout;
    timeout.QuadPart = -(LONGLONG)(ms * 10000);
    return timeout;
}

static NTSTATUS completeIrp(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* "a.b.c.d:port" (or "localhost:port") into an IPv4 address; FALSE if it is
 * not one. */
static BOOLEAN parseEndpoint(const char* text, VUSB_SOCKADDR_IN* address)
{
    ULONG parts[4] = {0, 0, 0, 0}, port = 0;
    const char* at = text;
    int part = 0, digits = 0;
    if (!strncmp(text, "localhost:", 10)) {
        parts[0] = 127;
        parts[3] = 1;
        at = text + 10;
        part = 4;
    }
    for (; part < 4; ++at) {
        if (*at >= '0' && *at <= '9' && digits < 3) {
            parts[part] = parts[part] * 10 + (ULONG)(*at - '0');
            ++digits;
        } else if (digits && parts[part] < 256 && ((part < 3 && *at == '.') || (part == 3 && *at == ':'))) {
            ++part;
            digits = 0;
        } else {
            return FALSE;
        }
    }
    for (digits = 0; *at; ++at, ++digits) {
        if (*at < '0' || *at > '9' || digits >= 5)
            return FALSE;
        port = port * 10 + (ULONG)(*at - '0');
    }
    if (!digits || !port || port > 65535)
        return FALSE;
    RtlZeroMemory(address, sizeof *address);
    address->family = VUSB_AF_INET;
    address->port = (USHORT)(((port & 0xFF) << 8) | (port >> 8));
    address->address = parts[0] | (parts[1] << 8) | (parts[2] << 16) | (parts[3] << 24);
    return TRUE;
}

/* ---- queues of a child (bus lock held where noted) ---- */

static void NTAPI cancelQueued(PDEVICE_OBJECT device, PIRP irp)
{
    struct child* child = device->DeviceExtension;
    KIRQL irql;
    IoReleaseCancelSpinLock(irp->CancelIrql);
    KeAcquireSpinLock(&child->bus->lock, &irql);
    RemoveEntryList(&irp->Tail.Overlay.ListEntry);
    KeReleaseSpinLock(&child->bus->lock, irql);
    completeIrp(irp, STATUS_CANCELLED, 0);
}

/* Bus lock held. FALSE if the request was cancelled before it was queued
 * (the caller completes it). */
static BOOLEAN queueIrp(LIST_ENTRY* queue, PIRP irp)
{
    IoSetCancelRoutine(irp, cancelQueued);
    if (irp->Cancel && IoSetCancelRoutine(irp, NULL))
        return FALSE;
    IoMarkIrpPending(irp);
    InsertTailList(queue, &irp->Tail.Overlay.ListEntry);
    return TRUE;
}

/* Bus lock held. The first request whose cancel routine has not started. */
static PIRP takeIrp(LIST_ENTRY* queue)
{
    while (!IsListEmpty(queue)) {
        PLIST_ENTRY entry = RemoveHeadList(queue);
        PIRP irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        if (IoSetCancelRoutine(irp, NULL))
            return irp;
        /* Its cancel routine is running and removes it again. */
        InitializeListHead(entry);
    }
    return NULL;
}

/* Bus lock held: moves every queued request to done. */
static void takeAll(LIST_ENTRY* queue, LIST_ENTRY* done)
{
    PIRP irp;
    while ((irp = takeIrp(queue)))
        InsertTailList(done, &irp->Tail.Overlay.ListEntry);
}

static void completeAll(LIST_ENTRY* done, NTSTATUS status)
{
    while (!IsListEmpty(done)) {
        PIRP irp = CONTAINING_RECORD(RemoveHeadList(done), IRP, Tail.Overlay.ListEntry);
        completeIrp(irp, status, 0);
    }
}

static BOOLEAN fillRead(PIRP irp, const UCHAR* report)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->Parameters.DeviceIoControl.OutputBufferLength < VUSB_REPORT_BYTES || !irp->UserBuffer) {
        completeIrp(irp, STATUS_BUFFER_TOO_SMALL, 0);
        return FALSE;
    }
    RtlCopyMemory(irp->UserBuffer, report, VUSB_REPORT_BYTES);
    completeIrp(irp, STATUS_SUCCESS, VUSB_REPORT_BYTES);
    return TRUE;
}

/* An input report from the unit: it completes the oldest pending read, or
 * waits for the next one (the oldest waiting report gives way when full). */
static void deliverReport(struct unit* unit, const UCHAR* report)
{
    struct bus* bus = unit->bus;
    PIRP read = NULL;
    KIRQL irql;
    KeAcquireSpinLock(&bus->lock, &irql);
    struct child* child = unit->child;
    if (child) {
        read = takeIrp(&child->reads);
        if (!read) {
            ULONG slot = (child->bufferedFirst + child->bufferedCount) % BUFFERED_REPORTS;
            RtlCopyMemory(child->buffered[slot], report, VUSB_REPORT_BYTES);
            if (child->bufferedCount < BUFFERED_REPORTS)
                ++child->bufferedCount;
            else
                child->bufferedFirst = (child->bufferedFirst + 1) % BUFFERED_REPORTS;
        }
    }
    KeReleaseSpinLock(&bus->lock, irql);
    if (read)
        fillRead(read, report);
}

/* ---- Winsock Kernel calls, made synchronous on the worker thread ---- */

static NTSTATUS NTAPI signalDone(PDEVICE_OBJECT device, PIRP irp, PVOID context)
{
    UNREFERENCED_PARAMETER(device);
    UNREFERENCED_PARAMETER(irp);
    KeSetEvent((PKEVENT)context, IO_NO_INCREMENT, FALSE);
    return STATUS_MORE_PROCESSING_REQUIRED;
}

static void prepareIrp(PIRP irp, PKEVENT done)
{
    IoReuseIrp(irp, STATUS_UNSUCCESSFUL);
    KeClearEvent(done);
    IoSetCompletionRoutine(irp, signalDone, done, TRUE, TRUE, TRUE);
}

/* Every WSK call completes its request, whatever it returns. */
static NTSTATUS finishControl(struct unit* unit)
{
    KeWaitForSingleObject(&unit->controlDone, Executive, KernelMode, FALSE, NULL);
    return unit->controlIrp->IoStatus.Status;
}

static const VUSB_WSK_PROVIDER_CONNECTION_DISPATCH* socketCalls(struct unit* unit)
{
    return (const VUSB_WSK_PROVIDER_CONNECTION_DISPATCH*)unit->socket->Dispatch;
}

/* Closing ends every call still pending on the socket. */
static void closeSocket(struct unit* unit)
{
    if (!unit->socket)
        return;
    prepareIrp(unit->closeIrp, &unit->closeDone);
    socketCalls(unit)->WskCloseSocket(unit->socket, unit->closeIrp);
    KeWaitForSingleObject(&unit->closeDone, Executive, KernelMode, FALSE, NULL);
    unit->socket = NULL;
}

/* A connection attempt to an address that does not answer can take long: a
 * stop or the connect time ends it. */
static BOOLEAN waitConnected(struct unit* unit)
{
    ULONGLONG deadline = nowMs() + CONNECT_WAIT_MS;
    for (;;) {
        ULONGLONG now = nowMs();
        PVOID waits[2] = {&unit->controlDone, &unit->wake};
        LARGE_INTEGER timeout = relativeMs(deadline > now ? deadline - now : 0);
        NTSTATUS woke = KeWaitForMultipleObjects(2, waits, WaitAny, Executive, KernelMode, FALSE, &timeout, NULL);
        if (woke == STATUS_WAIT_0)
            return NT_SUCCESS(unit->controlIrp->IoStatus.Status);
        if (woke != STATUS_WAIT_1 || unit->stopping)
            break;
    }
    closeSocket(unit);
    finishControl(unit);
    return FALSE;
}

static BOOLEAN openSocket(struct unit* unit)
{
    VUSB_SOCKADDR_IN local;
    prepareIrp(unit->controlIrp, &unit->controlDone);
    wsk.Dispatch->WskSocket(wsk.Client, VUSB_AF_INET, VUSB_SOCK_STREAM, VUSB_IPPROTO_TCP,
                            VUSB_WSK_FLAG_CONNECTION_SOCKET, NULL, NULL, NULL, NULL, NULL, unit->controlIrp);
    if (!NT_SUCCESS(finishControl(unit)))
        return FALSE;
    unit->socket = (VUSB_WSK_SOCKET*)unit->controlIrp->IoStatus.Information;
    RtlZeroMemory(&local, sizeof local);
    local.family = VUSB_AF_INET;
    prepareIrp(unit->controlIrp, &unit->controlDone);
    socketCalls(unit)->WskBind(unit->socket, &local, 0, unit->controlIrp);
    if (NT_SUCCESS(finishControl(unit))) {
        prepareIrp(unit->controlIrp, &unit->controlDone);
        socketCalls(unit)->WskConnect(unit->socket, &unit->address, 0, unit->controlIrp);
        if (waitConnected(unit))
            return TRUE;
    }
    closeSocket(unit);
    return FALSE;
}

static void startReceive(struct unit* unit)
{
    VUSB_WSK_BUF buffer = {unit->receiveMdl, 0, sizeof unit->receiveBuffer};
    prepareIrp(unit->receiveIrp, &unit->receiveDone);
    socketCalls(unit)->WskReceive(unit->socket, &buffer, 0, unit->receiveIrp);
}

/* Bytes of the finished receive; 0 when the connection has ended. */
static ULONG receivedBytes(struct unit* unit)
{
    if (!NT_SUCCESS(unit->receiveIrp->IoStatus.Status))
        return 0;
    return (ULONG)unit->receiveIrp->IoStatus.Information;
}

static BOOLEAN sendFrame(struct unit* unit)
{
    VUSB_WSK_BUF buffer = {unit->sendMdl, 0, VUSB_FRAME_BYTES};
    prepareIrp(unit->sendIrp, &unit->sendDone);
    socketCalls(unit)->WskSend(unit->socket, &buffer, 0, unit->sendIrp);
    KeWaitForSingleObject(&unit->sendDone, Executive, KernelMode, FALSE, NULL);
    return NT_SUCCESS(unit->sendIrp->IoStatus.Status) && unit->sendIrp->IoStatus.Information == VUSB_FRAME_BYTES;
}

/* ---- the unit's identity ---- */

struct identity {
    USHORT vendorId, productId;
    WCHAR product[MAX_PRODUCT_CHARS + 1];
};

static USHORT le16(const UCHAR* bytes) { return (USHORT)(bytes[0] | (bytes[1] << 8)); }

/* Receives exactly count bytes within the identity time; FALSE on a closed
 * connection, a stop or the time running out. */
static BOOLEAN receiveExactly(struct unit* unit, UCHAR* out, ULONG count, ULONGLONG deadline)
{
    ULONG have = 0;
    while (have < count) {
        ULONGLONG now = nowMs();
        VUSB_WSK_BUF buffer = {unit->receiveMdl, 0, count - have};
        PVOID waits[2] = {&unit->wake, &unit->receiveDone};
        LARGE_INTEGER timeout = relativeMs(deadline > now ? deadline - now : 0);
        prepareIrp(unit->receiveIrp, &unit->receiveDone);
        socketCalls(unit)->WskReceive(unit->socket, &buffer, 0, unit->receiveIrp);
        if (KeWaitForMultipleObjects(2, waits, WaitAny, Executive, KernelMode, FALSE, &timeout, NULL) !=
            STATUS_WAIT_1) {
            closeSocket(unit); /* ends the receive */
            KeWaitForSingleObject(&unit->receiveDone, Executive, KernelMode, FALSE, NULL);
            return FALSE;
        }
        ULONG got = receivedBytes(unit);
        if (!got)
            return FALSE;
        RtlCopyMemory(out + have, unit->receiveBuffer, got);
        have += got;
    }
    return TRUE;
}

/* The record every endpoint sends first: "KVX1", vendor and product id,
 * the length of the product string and the string in UTF-16LE. */
static BOOLEAN receiveIdentity(struct unit* unit, struct identity* identity)
{
    UCHAR header[9];
    UCHAR product[2 * MAX_PRODUCT_CHARS];
    ULONGLONG deadline = nowMs() + IDENTITY_WAIT_MS;
    if (!receiveExactly(unit, header, sizeof header, deadline))
        return FALSE;
    ULONG length = header[8];
    if (memcmp(header, "KVX1", 4) != 0 || length % 2 != 0 || length > sizeof product)
        return FALSE;
    if (length && !receiveExactly(unit, product, length, deadline))
        return FALSE;
    identity->vendorId = le16(header + 4);
    identity->productId = le16(header + 6);
    for (ULONG i = 0; i < length / 2; ++i)
        identity->product[i] = le16(product + 2 * i);
    identity->product[length / 2] = 0;
    return TRUE;
}

/* ---- plugging and unplugging a child ---- */

static void invalidateChildren(struct bus* bus)
{
    KIRQL irql;
    KeAcquireSpinLock(&bus->lock, &irql);
    BOOLEAN removing = bus->removing;
    KeReleaseSpinLock(&bus->lock, irql);
    if (!removing)
        IoInvalidateDeviceRelations(bus->pdo, BusRelations);
}

static BOOLEAN plugChild(struct unit* unit, const struct identity* identity)
{
    PDEVICE_OBJECT device;
    if (!NT_SUCCESS(IoCreateDevice(busDriver, sizeof(struct child), NULL, FILE_DEVICE_UNKNOWN,
                                   FILE_AUTOGENERATED_DEVICE_NAME | FILE_DEVICE_SECURE_OPEN, FALSE, &device)))
        return FALSE;
    struct child* child = device->DeviceExtension;
    RtlZeroMemory(child, sizeof *child);
    child->kind = kindChild;
    child->self = device;
    child->bus = unit->bus;
    child->unit = unit;
    child->number = unit->number;
    child->vendorId = identity->vendorId;
    child->productId = identity->productId;
    RtlCopyMemory(child->product, identity->product, sizeof child->product);
    child->present = TRUE;
    InitializeListHead(&child->reads);
    InitializeListHead(&child->writes);
    device->Flags &= ~DO_DEVICE_INITIALIZING;

    KIRQL irql;
    KeAcquireSpinLock(&unit->bus->lock, &irql);
    unit->child = child;
    KeReleaseSpinLock(&unit->bus->lock, irql);
    invalidateChildren(unit->bus);
    return TRUE;
}

/* The unit went away: its child is no longer reported, output reports that
 * wait fail; reads stay pending until Plug and Play removes the child. */
static void unplugChild(struct unit* unit)
{
    LIST_ENTRY failed;
    KIRQL irql;
    InitializeListHead(&failed);
    KeAcquireSpinLock(&unit->bus->lock, &irql);
    struct child* child = unit->child;
    unit->child = NULL;
    BOOLEAN known = child && child->reported;
    if (child) {
        child->unit = NULL;
        child->present = FALSE;
        child->bufferedCount = 0;
        takeAll(&child->writes, &failed);
    }
    KeReleaseSpinLock(&unit->bus->lock, irql);
    completeAll(&failed, STATUS_DEVICE_NOT_CONNECTED);
    if (known)
        invalidateChildren(unit->bus);
    else if (child)
        IoDeleteDevice(child->self); /* gone before anyone learnt of it */
}

/* ---- the connection worker ---- */

/* The first waiting output report that is due now, or NULL and the time
 * until one will be (MAXULONGLONG: none, or the writes are stalled). */
static PIRP dueWrite(struct unit* unit, ULONGLONG* waitMs)
{
    struct bus* bus = unit->bus;
    PIRP due = NULL;
    KIRQL irql;
    *waitMs = MAXULONGLONG;
    KeAcquireSpinLock(&bus->lock, &irql);
    struct child* child = unit->child;
    if (child && !IsListEmpty(&child->writes) && bus->writeDelayMs != VUSB_WRITES_STALLED) {
        PIRP first = CONTAINING_RECORD(child->writes.Flink, IRP, Tail.Overlay.ListEntry);
        ULONGLONG at = (ULONGLONG)(ULONG_PTR)first->Tail.Overlay.DriverContext[0] + bus->writeDelayMs;
        ULONGLONG now = nowMs();
        if (at <= now)
            due = takeIrp(&child->writes);
        else
            *waitMs = at - now;
    }
    KeReleaseSpinLock(&bus->lock, irql);
    if (due)
        *waitMs = 0;
    return due;
}

/* Sends the output reports that are due; FALSE when the connection failed. */
static BOOLEAN sendDueWrites(struct unit* unit, ULONGLONG* waitMs)
{
    PIRP irp;
    while ((irp = dueWrite(unit, waitMs))) {
        const VUSB_HID_XFER_PACKET* packet = irp->UserBuffer;
        unit->sendBuffer[0] = 0;
        RtlCopyMemory(unit->sendBuffer + 1, packet->reportBuffer, VUSB_REPORT_BYTES);
        if (!sendFrame(unit)) {
            completeIrp(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
            return FALSE;
        }
        completeIrp(irp, STATUS_SUCCESS, packet->reportBufferLen);
    }
    return TRUE;
}

static BOOLEAN childStillThere(struct unit* unit)
{
    KIRQL irql;
    KeAcquireSpinLock(&unit->bus->lock, &irql);
    BOOLEAN there = unit->child != NULL;
    KeReleaseSpinLock(&unit->bus->lock, irql);
    return there;
}

/* Moves reports both ways until the connection ends or the unit stops. */
static void serveUnit(struct unit* unit)
{
    ULONGLONG waitMs = MAXULONGLONG;
    unit->frameFill = 0;
    startReceive(unit);
    for (;;) {
        PVOID waits[2] = {&unit->wake, &unit->receiveDone};
        LARGE_INTEGER timeout = relativeMs(waitMs);
        NTSTATUS woke = KeWaitForMultipleObjects(2, waits, WaitAny, Executive, KernelMode, FALSE,
                                                 waitMs == MAXULONGLONG ? NULL : &timeout, NULL);
        if (unit->stopping || !childStillThere(unit))
            break;
        if (woke == STATUS_WAIT_1) {
            ULONG got = receivedBytes(unit);
            if (!got)
                return;
            for (ULONG i = 0; i < got; ++i) {
                unit->frame[unit->frameFill++] = unit->receiveBuffer[i];
                if (unit->frameFill == VUSB_FRAME_BYTES) {
                    deliverReport(unit, unit->frame + 1);
                    unit->frameFill = 0;
                }
            }
            startReceive(unit);
        }
        if (!sendDueWrites(unit, &waitMs))
            break;
    }
    closeSocket(unit); /* ends the pending receive */
    KeWaitForSingleObject(&unit->receiveDone, Executive, KernelMode, FALSE, NULL);
}

static void NTAPI unitWorker(PVOID context)
{
    struct unit* unit = context;
    while (!unit->stopping) {
        struct identity identity;
        if (openSocket(unit)) {
            if (receiveIdentity(unit, &identity) && plugChild(unit, &identity))
                serveUnit(unit);
            closeSocket(unit);
            unplugChild(unit);
        }
        LARGE_INTEGER rest = relativeMs(RETRY_MS);
        if (!unit->stopping)
            KeWaitForSingleObject(&unit->wake, Executive, KernelMode, FALSE, &rest);
    }
    KeSetEvent(&unit->exited, IO_NO_INCREMENT, FALSE);
    PsTerminateSystemThread(STATUS_SUCCESS);
}

static void freeUnit(struct unit* unit)
{
    if (unit->sendMdl)
        IoFreeMdl(unit->sendMdl);
    if (unit->receiveMdl)
        IoFreeMdl(unit->receiveMdl);
    if (unit->controlIrp)
        IoFreeIrp(unit->controlIrp);
    if (unit->closeIrp)
        IoFreeIrp(unit->closeIrp);
    if (unit->sendIrp)
        IoFreeIrp(unit->sendIrp);
    if (unit->receiveIrp)
        IoFreeIrp(unit->receiveIrp);
    ExFreePoolWithTag(unit, POOL_TAG);
}

static struct unit* startUnit(struct bus* bus, ULONG number, const char* endpoint)
{
    struct unit* unit = ExAllocatePoolWithTag(NonPagedPool, sizeof(struct unit), POOL_TAG);
    if (!unit)
        return NULL;
    RtlZeroMemory(unit, sizeof *unit);
    unit->bus = bus;
    unit->number = number;
    RtlCopyMemory(unit->endpoint, endpoint, strlen(endpoint) + 1);
    KeInitializeEvent(&unit->wake, SynchronizationEvent, FALSE);
    KeInitializeEvent(&unit->exited, NotificationEvent, FALSE);
    KeInitializeEvent(&unit->controlDone, NotificationEvent, FALSE);
    KeInitializeEvent(&unit->closeDone, NotificationEvent, FALSE);
    KeInitializeEvent(&unit->sendDone, NotificationEvent, FALSE);
    KeInitializeEvent(&unit->receiveDone, NotificationEvent, FALSE);
    unit->controlIrp = IoAllocateIrp(1, FALSE);
    unit->closeIrp = IoAllocateIrp(1, FALSE);
    unit->sendIrp = IoAllocateIrp(1, FALSE);
    unit->receiveIrp = IoAllocateIrp(1, FALSE);
    unit->sendMdl = IoAllocateMdl(unit->sendBuffer, sizeof unit->sendBuffer, FALSE, FALSE, NULL);
    unit->receiveMdl = IoAllocateMdl(unit->receiveBuffer, sizeof unit->receiveBuffer, FALSE, FALSE, NULL);
    if (!parseEndpoint(endpoint, &unit->address) || !unit->controlIrp || !unit->closeIrp || !unit->sendIrp ||
        !unit->receiveIrp ||
        !unit->sendMdl || !unit->receiveMdl) {
        freeUnit(unit);
        return NULL;
    }
    MmBuildMdlForNonPagedPool(unit->sendMdl);
    MmBuildMdlForNonPagedPool(unit->receiveMdl);
    if (!NT_SUCCESS(PsCreateSystemThread(&unit->thread, THREAD_ALL_ACCESS, NULL, NULL, NULL, unitWorker, unit))) {
        freeUnit(unit);
        return NULL;
    }
    return unit;
}

static void stopUnit(struct unit* unit)
{
    unit->stopping = TRUE;
    KeSetEvent(&unit->wake, IO_NO_INCREMENT, FALSE);
    KeWaitForSingleObject(&unit->exited, Executive, KernelMode, FALSE, NULL);
    ZwClose(unit->thread);
    freeUnit(unit);
}

static void wakeUnits(struct bus* bus)
{
    KIRQL irql;
    KeAcquireSpinLock(&bus->lock, &irql);
    for (ULONG i = 0; i < VUSB_MAX_UNITS; ++i)
        if (bus->units[i])
            KeSetEvent(&bus->units[i]->wake, IO_NO_INCREMENT, FALSE);
    KeReleaseSpinLock(&bus->lock, irql);
}

/* ---- the bus's endpoints ---- */

/* endpoints: zero-terminated strings, ended by an empty one. Units whose
 * endpoint is not named are stopped (unplugged), new ones started. */
static void setEndpoints(struct bus* bus, const char* endpoints, ULONG size)
{
    struct unit* stopped[VUSB_MAX_UNITS];
    ULONG stoppedCount = 0;
    BOOLEAN wanted[VUSB_MAX_UNITS];
    const char* names[VUSB_MAX_UNITS];
    ULONG nameCount = 0;
    KIRQL irql;

    for (ULONG at = 0; at < size && endpoints[at] && nameCount < VUSB_MAX_UNITS;) {
        ULONG length = 0;
        while (at + length < size && endpoints[at + length])
            ++length;
        if (at + length >= size)
            break;
        if (length <= VUSB_MAX_ENDPOINT)
            names[nameCount++] = endpoints + at;
        at += length + 1;
    }
    for (ULONG n = 0; n < nameCount; ++n)
        wanted[n] = TRUE;

    KeAcquireSpinLock(&bus->lock, &irql);
    for (ULONG i = 0; i < VUSB_MAX_UNITS; ++i) {
        struct unit* unit = bus->units[i];
        if (!unit)
            continue;
        BOOLEAN keep = FALSE;
        for (ULONG n = 0; n < nameCount; ++n) {
            if (wanted[n] && !strcmp(names[n], unit->endpoint)) {
                wanted[n] = FALSE;
                keep = TRUE;
                break;
            }
        }
        if (!keep) {
            stopped[stoppedCount++] = unit;
            bus->units[i] = NULL;
        }
    }
    KeReleaseSpinLock(&bus->lock, irql);
    for (ULONG i = 0; i < stoppedCount; ++i)
        stopUnit(stopped[i]);

    for (ULONG n = 0; n < nameCount; ++n) {
        if (!wanted[n])
            continue;
        KeAcquireSpinLock(&bus->lock, &irql);
        ULONG slot = 0;
        while (slot < VUSB_MAX_UNITS && bus->units[slot])
            ++slot;
        KeReleaseSpinLock(&bus->lock, irql);
        if (slot == VUSB_MAX_UNITS)
            break;
        struct unit* unit = startUnit(bus, slot, names[n]);
        KeAcquireSpinLock(&bus->lock, &irql);
        bus->units[slot] = unit;
        KeReleaseSpinLock(&bus->lock, irql);
    }
}

/* The endpoints the installer stored in the bus's device parameters. */
static void loadEndpoints(struct bus* bus)
{
    HANDLE key;
    UNICODE_STRING name;
    ULONG size = 0;
    if (!NT_SUCCESS(IoOpenDeviceRegistryKey(bus->pdo, PLUGPLAY_REGKEY_DEVICE, KEY_READ, &key)))
        return;
    RtlInitUnicodeString(&name, VUSB_ENDPOINTS_VALUE);
    ULONG capacity = sizeof(KEY_VALUE_PARTIAL_INFORMATION) + VUSB_MAX_UNITS * (VUSB_MAX_ENDPOINT + 1) * 2 + 4;
    PKEY_VALUE_PARTIAL_INFORMATION value = ExAllocatePoolWithTag(PagedPool, capacity, POOL_TAG);
    char* endpoints = ExAllocatePoolWithTag(PagedPool, capacity, POOL_TAG);
    if (value && endpoints &&
        NT_SUCCESS(ZwQueryValueKey(key, &name, KeyValuePartialInformation, value, capacity, &size)) &&
        value->Type == REG_MULTI_SZ) {
        const WCHAR* text = (const WCHAR*)value->Data;
        ULONG count = value->DataLength / sizeof(WCHAR);
        for (ULONG i = 0; i < count; ++i)
            endpoints[i] = text[i] < 0x80 ? (char)text[i] : '?';
        endpoints[count] = 0;
        setEndpoints(bus, endpoints, count + 1);
    }
    if (value)
        ExFreePoolWithTag(value, POOL_TAG);
    if (endpoints)
        ExFreePoolWithTag(endpoints, POOL_TAG);
    ZwClose(key);
}

static void stopAllUnits(struct bus* bus)
{
    KIRQL irql;
    struct unit* units[VUSB_MAX_UNITS];
    KeAcquireSpinLock(&bus->lock, &irql);
    bus->removing = TRUE;
    for (ULONG i = 0; i < VUSB_MAX_UNITS; ++i) {
        units[i] = bus->units[i];
        bus->units[i] = NULL;
    }
    KeReleaseSpinLock(&bus->lock, irql);
    for (ULONG i = 0; i < VUSB_MAX_UNITS; ++i)
        if (units[i])
            stopUnit(units[i]);
}

/* ---- the child device ---- */

static NTSTATUS copyId(PIRP irp, const WCHAR* id, ULONG chars)
{
    WCHAR* copy = ExAllocatePoolWithTag(PagedPool, chars * sizeof(WCHAR), POOL_TAG);
    if (!copy)
        return STATUS_INSUFFICIENT_RESOURCES;
    RtlCopyMemory(copy, id, chars * sizeof(WCHAR));
    irp->IoStatus.Information = (ULONG_PTR)copy;
    return STATUS_SUCCESS;
}

static ULONG putText(WCHAR* out, ULONG at, const WCHAR* text)
{
    while (*text)
        out[at++] = *text++;
    return at;
}

static ULONG putHex(WCHAR* out, ULONG at, ULONG value, int digits)
{
    static const WCHAR hex[] = L"0123456789ABCDEF";
    while (digits-- > 0)
        out[at++] = hex[(value >> (4 * digits)) & 0xF];
    return at;
}

/* KAVIX\VID_vvvv&PID_pppp: the HID class driver names its device after it. */
static ULONG deviceId(const struct child* child, WCHAR* out)
{
    ULONG at = putText(out, 0, L"KAVIX\\VID_");
    at = putHex(out, at, child->vendorId, 4);
    at = putText(out, at, L"&PID_");
    at = putHex(out, at, child->productId, 4);
    out[at++] = 0;
    return at;
}

static NTSTATUS childQueryId(struct child* child, PIRP irp, BUS_QUERY_ID_TYPE type)
{
    WCHAR id[64];
    ULONG length;
    switch (type) {
    case BusQueryDeviceID:
        return copyId(irp, id, deviceId(child, id));
    case BusQueryHardwareIDs:
        length = deviceId(child, id);
        id[length++] = 0;
        return copyId(irp, id, length);
    case BusQueryCompatibleIDs:
        length = putText(id, 0, VUSB_UNIT_COMPATIBLE_ID);
        id[length++] = 0;
        id[length++] = 0;
        return copyId(irp, id, length);
    case BusQueryInstanceID:
        length = putHex(id, 0, child->number, 1);
        id[length++] = 0;
        return copyId(irp, id, length);
    default:
        return irp->IoStatus.Status;
    }
}

/* Removal of the child: every request it holds ends. */
static void childGone(struct child* child, BOOLEAN deleting)
{
    LIST_ENTRY failed;
    KIRQL irql;
    InitializeListHead(&failed);
    KeAcquireSpinLock(&child->bus->lock, &irql);
    child->removed = TRUE;
    takeAll(&child->reads, &failed);
    takeAll(&child->writes, &failed);
    if (deleting && child->unit) {
        /* Removed while connected (its bus is going): the worker lets go. */
        if (child->unit->child == child)
            child->unit->child = NULL;
        KeSetEvent(&child->unit->wake, IO_NO_INCREMENT, FALSE);
        child->unit = NULL;
    }
    KeReleaseSpinLock(&child->bus->lock, irql);
    completeAll(&failed, STATUS_DEVICE_NOT_CONNECTED);
}

static NTSTATUS childPnp(struct child* child, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status = irp->IoStatus.Status;
    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_STOP_DEVICE:
        status = STATUS_SUCCESS;
        break;
    case IRP_MN_QUERY_ID:
        status = childQueryId(child, irp, stack->Parameters.QueryId.IdType);
        break;
    case IRP_MN_QUERY_CAPABILITIES: {
        PDEVICE_CAPABILITIES caps = stack->Parameters.DeviceCapabilities.Capabilities;
        caps->Removable = 1;
        caps->SurpriseRemovalOK = 1;
        caps->UniqueID = 0;
        status = STATUS_SUCCESS;
        break;
    }
    case IRP_MN_SURPRISE_REMOVAL:
        childGone(child, FALSE);
        status = STATUS_SUCCESS;
        break;
    case IRP_MN_REMOVE_DEVICE:
        childGone(child, TRUE);
        completeIrp(irp, STATUS_SUCCESS, 0);
        IoDeleteDevice(child->self);
        return STATUS_SUCCESS;
    default:
        break;
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS childString(struct child* child, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG id = (ULONG)(ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer & 0xFFFF;
    ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
    if (id != VUSB_HID_STRING_ID_IPRODUCT && id != VUSB_WINE_HID_STRING_ID_IPRODUCT)
        return completeIrp(irp, STATUS_INVALID_PARAMETER, 0);
    ULONG bytes = 0;
    while (child->product[bytes / 2])
        bytes += 2;
    bytes += 2;
    if (!irp->UserBuffer || room < bytes)
        return completeIrp(irp, STATUS_BUFFER_TOO_SMALL, 0);
    RtlCopyMemory(irp->UserBuffer, child->product, bytes);
    return completeIrp(irp, STATUS_SUCCESS, bytes);
}

static NTSTATUS childRead(struct child* child, PIRP irp)
{
    UCHAR report[VUSB_REPORT_BYTES];
    BOOLEAN buffered = FALSE;
    KIRQL irql;
    KeAcquireSpinLock(&child->bus->lock, &irql);
    if (child->removed) {
        KeReleaseSpinLock(&child->bus->lock, irql);
        return completeIrp(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    }
    if (child->bufferedCount) {
        RtlCopyMemory(report, child->buffered[child->bufferedFirst], VUSB_REPORT_BYTES);
        child->bufferedFirst = (child->bufferedFirst + 1) % BUFFERED_REPORTS;
        --child->bufferedCount;
        buffered = TRUE;
    } else if (queueIrp(&child->reads, irp)) {
        KeReleaseSpinLock(&child->bus->lock, irql);
        return STATUS_PENDING;
    }
    KeReleaseSpinLock(&child->bus->lock, irql);
    if (!buffered)
        return completeIrp(irp, STATUS_CANCELLED, 0);
    fillRead(irp, report);
    return STATUS_SUCCESS;
}

static NTSTATUS childWrite(struct child* child, PIRP irp)
{
    const VUSB_HID_XFER_PACKET* packet = irp->UserBuffer;
    KIRQL irql;
    if (!packet || !packet->reportBuffer || packet->reportBufferLen < VUSB_REPORT_BYTES)
        return completeIrp(irp, STATUS_INVALID_PARAMETER, 0);
    irp->Tail.Overlay.DriverContext[0] = (PVOID)(ULONG_PTR)nowMs();
    KeAcquireSpinLock(&child->bus->lock, &irql);
    struct unit* unit = child->unit;
    if (!unit || !child->present || child->removed) {
        KeReleaseSpinLock(&child->bus->lock, irql);
        return completeIrp(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
    }
    BOOLEAN queued = queueIrp(&child->writes, irp);
    if (queued)
        KeSetEvent(&unit->wake, IO_NO_INCREMENT, FALSE);
    KeReleaseSpinLock(&child->bus->lock, irql);
    return queued ? STATUS_PENDING : completeIrp(irp, STATUS_CANCELLED, 0);
}

static NTSTATUS childRequest(struct child* child, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_GET_DEVICE_DESCRIPTOR: {
        VUSB_HID_DESCRIPTOR descriptor = {sizeof descriptor, VUSB_HID_DESCRIPTOR_TYPE, 0x0111, 0, 1,
                                          VUSB_HID_REPORT_DESCRIPTOR_TYPE, sizeof reportDescriptor};
        if (!irp->UserBuffer || room < sizeof descriptor)
            return completeIrp(irp, STATUS_BUFFER_TOO_SMALL, 0);
        RtlCopyMemory(irp->UserBuffer, &descriptor, sizeof descriptor);
        return completeIrp(irp, STATUS_SUCCESS, sizeof descriptor);
    }
    case IOCTL_HID_GET_REPORT_DESCRIPTOR:
        if (!irp->UserBuffer || room < sizeof reportDescriptor)
            return completeIrp(irp, STATUS_BUFFER_TOO_SMALL, 0);
        RtlCopyMemory(irp->UserBuffer, reportDescriptor, sizeof reportDescriptor);
        return completeIrp(irp, STATUS_SUCCESS, sizeof reportDescriptor);
    case IOCTL_HID_GET_DEVICE_ATTRIBUTES: {
        VUSB_HID_DEVICE_ATTRIBUTES attributes;
        if (!irp->UserBuffer || room < sizeof attributes)
            return completeIrp(irp, STATUS_BUFFER_TOO_SMALL, 0);
        RtlZeroMemory(&attributes, sizeof attributes);
        attributes.Size = sizeof attributes;
        attributes.VendorID = child->vendorId;
        attributes.ProductID = child->productId;
        attributes.VersionNumber = 0x0100;
        RtlCopyMemory(irp->UserBuffer, &attributes, sizeof attributes);
        return completeIrp(irp, STATUS_SUCCESS, sizeof attributes);
    }
    case IOCTL_HID_GET_STRING:
        return childString(child, irp);
    case IOCTL_HID_READ_REPORT:
        return childRead(child, irp);
    case IOCTL_HID_WRITE_REPORT:
        return childWrite(child, irp);
    case IOCTL_HID_ACTIVATE_DEVICE:
    case IOCTL_HID_DEACTIVATE_DEVICE:
        return completeIrp(irp, STATUS_SUCCESS, 0);
    default:
        return completeIrp(irp, STATUS_NOT_SUPPORTED, 0);
    }
}

/* ---- the bus device ---- */

static NTSTATUS NTAPI lowerDone(PDEVICE_OBJECT device, PIRP irp, PVOID context)
{
    UNREFERENCED_PARAMETER(device);
    UNREFERENCED_PARAMETER(irp);
    KeSetEvent((PKEVENT)context, IO_NO_INCREMENT, FALSE);
    return STATUS_MORE_PROCESSING_REQUIRED;
}

/* Passes the request down and waits for it; the caller completes it. */
static NTSTATUS forwardAndWait(struct bus* bus, PIRP irp)
{
    KEVENT done;
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    IoCopyCurrentIrpStackLocationToNext(irp);
    IoSetCompletionRoutine(irp, lowerDone, &done, TRUE, TRUE, TRUE);
    if (IoCallDriver(bus->lower, irp) == STATUS_PENDING)
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, NULL);
    return irp->IoStatus.Status;
}

static NTSTATUS forward(struct bus* bus, PIRP irp)
{
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(bus->lower, irp);
}

static NTSTATUS reportChildren(struct bus* bus, PIRP irp)
{
    PDEVICE_RELATIONS previous = (PDEVICE_RELATIONS)irp->IoStatus.Information;
    ULONG earlier = previous ? previous->Count : 0;
    ULONG size = FIELD_OFFSET(DEVICE_RELATIONS, Objects) + (earlier + VUSB_MAX_UNITS) * sizeof(PDEVICE_OBJECT);
    PDEVICE_RELATIONS relations = ExAllocatePoolWithTag(PagedPool, size, POOL_TAG);
    KIRQL irql;
    if (!relations)
        return STATUS_INSUFFICIENT_RESOURCES;
    relations->Count = 0;
    for (ULONG i = 0; i < earlier; ++i)
        relations->Objects[relations->Count++] = previous->Objects[i];
    KeAcquireSpinLock(&bus->lock, &irql);
    for (ULONG i = 0; i < VUSB_MAX_UNITS; ++i) {
        struct unit* unit = bus->units[i];
        if (unit && unit->child && unit->child->present && !bus->removing) {
            unit->child->reported = TRUE;
            ObReferenceObject(unit->child->self);
            relations->Objects[relations->Count++] = unit->child->self;
        }
    }
    KeReleaseSpinLock(&bus->lock, irql);
    if (previous)
        ExFreePool(previous);
    irp->IoStatus.Information = (ULONG_PTR)relations;
    return STATUS_SUCCESS;
}

static NTSTATUS busPnp(struct bus* bus, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status;
    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
        status = forwardAndWait(bus, irp);
        if (NT_SUCCESS(status)) {
            loadEndpoints(bus);
            IoSetDeviceInterfaceState(&bus->controlLink, TRUE);
        }
        return completeIrp(irp, status, 0);
    case IRP_MN_QUERY_DEVICE_RELATIONS:
        if (stack->Parameters.QueryDeviceRelations.Type != BusRelations)
            return forward(bus, irp);
        status = reportChildren(bus, irp);
        if (!NT_SUCCESS(status))
            return completeIrp(irp, status, 0);
        irp->IoStatus.Status = status;
        return forward(bus, irp);
    case IRP_MN_SURPRISE_REMOVAL:
        IoSetDeviceInterfaceState(&bus->controlLink, FALSE);
        stopAllUnits(bus);
        irp->IoStatus.Status = STATUS_SUCCESS;
        return forward(bus, irp);
    case IRP_MN_REMOVE_DEVICE: {
        IoSetDeviceInterfaceState(&bus->controlLink, FALSE);
        stopAllUnits(bus);
        irp->IoStatus.Status = STATUS_SUCCESS;
        status = forward(bus, irp);
        IoDetachDevice(bus->lower);
        RtlFreeUnicodeString(&bus->controlLink);
        IoDeleteDevice(bus->self);
        return status;
    }
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_STOP_DEVICE:
        irp->IoStatus.Status = STATUS_SUCCESS;
        return forward(bus, irp);
    default:
        return forward(bus, irp);
    }
}

static NTSTATUS busControl(struct bus* bus, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG size = stack->Parameters.DeviceIoControl.InputBufferLength;
    const void* input = irp->AssociatedIrp.SystemBuffer;
    KIRQL irql;
    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_VUSB_SET_ENDPOINTS:
        if (!input && size)
            return completeIrp(irp, STATUS_INVALID_PARAMETER, 0);
        setEndpoints(bus, input, size);
        return completeIrp(irp, STATUS_SUCCESS, 0);
    case IOCTL_VUSB_SET_WRITE_DELAY:
        if (!input || size < sizeof(ULONG))
            return completeIrp(irp, STATUS_INVALID_PARAMETER, 0);
        KeAcquireSpinLock(&bus->lock, &irql);
        bus->writeDelayMs = *(const ULONG*)input;
        KeReleaseSpinLock(&bus->lock, irql);
        wakeUnits(bus);
        return completeIrp(irp, STATUS_SUCCESS, 0);
    default:
        return completeIrp(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
}

/* ---- dispatch ---- */

static NTSTATUS NTAPI dispatchPnp(PDEVICE_OBJECT device, PIRP irp)
{
    if (*(ULONG*)device->DeviceExtension == kindBus)
        return busPnp(device->DeviceExtension, irp);
    return childPnp(device->DeviceExtension, irp);
}

static NTSTATUS NTAPI dispatchInternal(PDEVICE_OBJECT device, PIRP irp)
{
    if (*(ULONG*)device->DeviceExtension == kindChild)
        return childRequest(device->DeviceExtension, irp);
    return forward(device->DeviceExtension, irp);
}

static NTSTATUS NTAPI dispatchControl(PDEVICE_OBJECT device, PIRP irp)
{
    if (*(ULONG*)device->DeviceExtension == kindBus)
        return busControl(device->DeviceExtension, irp);
    return completeIrp(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

static NTSTATUS NTAPI dispatchOpenClose(PDEVICE_OBJECT device, PIRP irp)
{
    UNREFERENCED_PARAMETER(device);
    return completeIrp(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI dispatchPower(PDEVICE_OBJECT device, PIRP irp)
{
    PoStartNextPowerIrp(irp);
    if (*(ULONG*)device->DeviceExtension == kindBus) {
        struct bus* bus = device->DeviceExtension;
        IoSkipCurrentIrpStackLocation(irp);
        return PoCallDriver(bus->lower, irp);
    }
    return completeIrp(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI addBus(PDRIVER_OBJECT driver, PDEVICE_OBJECT pdo)
{
    PDEVICE_OBJECT device;
    NTSTATUS status = IoCreateDevice(driver, sizeof(struct bus), NULL, FILE_DEVICE_BUS_EXTENDER,
                                     FILE_DEVICE_SECURE_OPEN, FALSE, &device);
    if (!NT_SUCCESS(status))
        return status;
    struct bus* bus = device->DeviceExtension;
    RtlZeroMemory(bus, sizeof *bus);
    bus->kind = kindBus;
    bus->self = device;
    bus->pdo = pdo;
    KeInitializeSpinLock(&bus->lock);
    status = IoRegisterDeviceInterface(pdo, &controlGuid, NULL, &bus->controlLink);
    if (NT_SUCCESS(status)) {
        bus->lower = IoAttachDeviceToDeviceStack(device, pdo);
        if (!bus->lower)
            status = STATUS_NO_SUCH_DEVICE;
    }
    if (!NT_SUCCESS(status)) {
        RtlFreeUnicodeString(&bus->controlLink);
        IoDeleteDevice(device);
        return status;
    }
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

static void NTAPI unloadBus(PDRIVER_OBJECT driver)
{
    UNREFERENCED_PARAMETER(driver);
    if (wskReady) {
        WskReleaseProviderNPI(&wskRegistration);
        WskDeregister(&wskRegistration);
    }
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    static VUSB_WSK_CLIENT_NPI client = {NULL, &wskClient};
    UNREFERENCED_PARAMETER(registryPath);
    NTSTATUS status = WskRegister(&client, &wskRegistration);
    if (!NT_SUCCESS(status))
        return status;
    status = WskCaptureProviderNPI(&wskRegistration, VUSB_WSK_INFINITE_WAIT, &wsk);
    if (!NT_SUCCESS(status)) {
        WskDeregister(&wskRegistration);
        return status;
    }
    wskReady = TRUE;
    busDriver = driver;
    driver->DriverExtension->AddDevice = addBus;
    driver->DriverUnload = unloadBus;
    driver->MajorFunction[IRP_MJ_PNP] = dispatchPnp;
    driver->MajorFunction[IRP_MJ_POWER] = dispatchPower;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatchInternal;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatchControl;
    driver->MajorFunction[IRP_MJ_CREATE] = dispatchOpenClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatchOpenClose;
    return STATUS_SUCCESS;
}
