/* Kernel shell of the stand-in: device, link, dispatch, and the settings kept under the
 * service key's Parameters. All touchscreen behaviour lives in touch_model.c. */
#include <ntddk.h>

#include "touch_model.h"

#define DEVICE_NAME L"\\Device\\PXWNTCOM"
#define LINK_NAME L"\\DosDevices\\PXWNTCOM"
#define SETTINGS_VALUE L"ParameterBlock"

static TOUCH_MODEL g_model;
/* Guards g_model; requests may come from several processes at once. */
static KSPIN_LOCK g_modelLock;
/* Orders the registry writes so the last one always carries the latest block. */
static KMUTEX g_saveLock;
static HANDLE g_parametersKey;

static HANDLE open_parameters_key(PUNICODE_STRING registryPath)
{
    OBJECT_ATTRIBUTES attributes;
    UNICODE_STRING name;
    HANDLE serviceKey = NULL, parametersKey = NULL;
    ULONG disposition;

    InitializeObjectAttributes(&attributes, registryPath, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&serviceKey, KEY_ALL_ACCESS, &attributes))) return NULL;
    RtlInitUnicodeString(&name, L"Parameters");
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, serviceKey, NULL);
    if (!NT_SUCCESS(ZwCreateKey(&parametersKey, KEY_ALL_ACCESS, &attributes, 0, NULL, REG_OPTION_NON_VOLATILE,
                                &disposition)))
        parametersKey = NULL;
    ZwClose(serviceKey);
    return parametersKey;
}

static void load_settings(void)
{
    UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + TM_SAVED_SETTINGS_SIZE + 16];
    PKEY_VALUE_PARTIAL_INFORMATION value = (PKEY_VALUE_PARTIAL_INFORMATION)buffer;
    UNICODE_STRING name;
    ULONG length = 0;

    if (!g_parametersKey) return;
    RtlInitUnicodeString(&name, SETTINGS_VALUE);
    if (!NT_SUCCESS(ZwQueryValueKey(g_parametersKey, &name, KeyValuePartialInformation, value, sizeof(buffer),
                                    &length)))
        return;
    if (value->Type == REG_BINARY) tm_load_settings(&g_model, value->Data, value->DataLength);
}

static void save_settings(void)
{
    UCHAR data[TM_SAVED_SETTINGS_SIZE];
    UNICODE_STRING name;
    KIRQL irql;
    ULONG length;

    if (!g_parametersKey) return;
    KeWaitForSingleObject(&g_saveLock, Executive, KernelMode, FALSE, NULL);
    KeAcquireSpinLock(&g_modelLock, &irql);
    length = tm_save_settings(&g_model, data, sizeof(data));
    KeReleaseSpinLock(&g_modelLock, irql);
    RtlInitUnicodeString(&name, SETTINGS_VALUE);
    ZwSetValueKey(g_parametersKey, &name, 0, REG_BINARY, data, length);
    KeReleaseMutex(&g_saveLock, FALSE);
}

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI dispatch_create(PDEVICE_OBJECT device, PIRP irp)
{
    KIRQL irql;
    (void)device;
    KeAcquireSpinLock(&g_modelLock, &irql);
    tm_handle_opened(&g_model);
    KeReleaseSpinLock(&g_modelLock, irql);
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI dispatch_cleanup(PDEVICE_OBJECT device, PIRP irp)
{
    (void)device;
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI dispatch_close(PDEVICE_OBJECT device, PIRP irp)
{
    KIRQL irql;
    (void)device;
    KeAcquireSpinLock(&g_modelLock, &irql);
    tm_handle_closed(&g_model);
    KeReleaseSpinLock(&g_modelLock, irql);
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI dispatch_device_control(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    void *buffer = irp->AssociatedIrp.SystemBuffer;
    TM_RESULT result;
    KIRQL irql;
    (void)device;

    KeAcquireSpinLock(&g_modelLock, &irql);
    result = tm_request(&g_model, stack->Parameters.DeviceIoControl.IoControlCode, buffer,
                        stack->Parameters.DeviceIoControl.InputBufferLength, buffer,
                        stack->Parameters.DeviceIoControl.OutputBufferLength);
    KeReleaseSpinLock(&g_modelLock, irql);
    if (result.SettingsChanged) save_settings();
    return complete(irp, (NTSTATUS)result.Status, result.Information);
}

static VOID NTAPI driver_unload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, LINK_NAME);
    IoDeleteSymbolicLink(&link);
    if (driver->DeviceObject) IoDeleteDevice(driver->DeviceObject);
    if (g_parametersKey) ZwClose(g_parametersKey);
    g_parametersKey = NULL;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING deviceName, link;
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;

    KeInitializeSpinLock(&g_modelLock);
    KeInitializeMutex(&g_saveLock, 0);
    tm_init(&g_model);
    g_parametersKey = open_parameters_key(registryPath);
    load_settings();

    RtlInitUnicodeString(&deviceName, DEVICE_NAME);
    status = IoCreateDevice(driver, 0, &deviceName, FILE_DEVICE_MOUSE, 0, FALSE, &device);
    if (!NT_SUCCESS(status)) goto failed;
    device->Flags |= DO_BUFFERED_IO;
    device->Flags &= ~DO_DEVICE_INITIALIZING;

    RtlInitUnicodeString(&link, LINK_NAME);
    status = IoCreateSymbolicLink(&link, &deviceName);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        goto failed;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = dispatch_create;
    driver->MajorFunction[IRP_MJ_CLEANUP] = dispatch_cleanup;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatch_close;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch_device_control;
    driver->DriverUnload = driver_unload;
    return STATUS_SUCCESS;

failed:
    if (g_parametersKey) ZwClose(g_parametersKey);
    g_parametersKey = NULL;
    return status;
}
