/* kavixhid.sys: the HID minidriver of the virtual control unit. Wine's HID
 * class driver loads it on every unit that kavixbus.sys reports; it hands
 * the class driver's requests (descriptors, attributes, the product string,
 * input-report reads and output-report writes) to that unit, the way a USB
 * HID minidriver hands them to its USB device. */
#include "kernel_interfaces.h"

static NTSTATUS passDown(PDEVICE_OBJECT device, PIRP irp)
{
    const VUSB_HID_DEVICE_EXTENSION* hid = device->DeviceExtension;
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(hid->NextDeviceObject, irp);
}

static NTSTATUS NTAPI dispatchInternal(PDEVICE_OBJECT device, PIRP irp) { return passDown(device, irp); }

static NTSTATUS NTAPI dispatchPnp(PDEVICE_OBJECT device, PIRP irp) { return passDown(device, irp); }

static NTSTATUS NTAPI dispatchPower(PDEVICE_OBJECT device, PIRP irp)
{
    const VUSB_HID_DEVICE_EXTENSION* hid = device->DeviceExtension;
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(hid->NextDeviceObject, irp);
}

/* The class driver creates the device object; there is nothing to add. */
static NTSTATUS NTAPI addUnit(PDRIVER_OBJECT driver, PDEVICE_OBJECT device)
{
    UNREFERENCED_PARAMETER(driver);
    UNREFERENCED_PARAMETER(device);
    return STATUS_SUCCESS;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    VUSB_HID_MINIDRIVER_REGISTRATION registration;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatchInternal;
    driver->MajorFunction[IRP_MJ_PNP] = dispatchPnp;
    driver->MajorFunction[IRP_MJ_POWER] = dispatchPower;
    driver->DriverExtension->AddDevice = addUnit;
    RtlZeroMemory(&registration, sizeof registration);
    registration.Revision = VUSB_HID_REVISION;
    registration.DriverObject = driver;
    registration.RegistryPath = registryPath;
    registration.DeviceExtensionSize = sizeof(ULONG_PTR);
    registration.DevicesArePolled = FALSE;
    return HidRegisterMinidriver(&registration);
}
