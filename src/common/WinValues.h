// Windows numbers that the portable core branches on, with their Windows values,
// so that the core never needs <windows.h>.
#pragma once

#include <cstdint>

namespace winvalues {

// RegisterHotKey modifiers.
inline constexpr unsigned kModAlt = 0x0001;
inline constexpr unsigned kModControl = 0x0002;
inline constexpr unsigned kModShift = 0x0004;
inline constexpr unsigned kModWin = 0x0008;
inline constexpr unsigned kModNoRepeat = 0x4000;

// Hotkey entry control (msctls_hotkey32) modifier flags.
inline constexpr unsigned kHotkeyfShift = 0x01;
inline constexpr unsigned kHotkeyfControl = 0x02;
inline constexpr unsigned kHotkeyfAlt = 0x04;
inline constexpr unsigned kHotkeyfExt = 0x08;

// MessageBoxW flags and answers.
inline constexpr unsigned kMbOk = 0x0000;
inline constexpr unsigned kMbYesNo = 0x0004;
inline constexpr unsigned kMbRetryCancel = 0x0005;
inline constexpr unsigned kMbIconError = 0x0010;
inline constexpr unsigned kMbIconQuestion = 0x0020;
inline constexpr unsigned kMbIconExclamation = 0x0030;
inline constexpr unsigned kMbDefButton2 = 0x0100;
inline constexpr unsigned kMbTopmost = 0x40000;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// HRESULT values.
// GetLastError codes.
inline constexpr unsigned long kErrorAccessDenied = 5;
inline constexpr unsigned long kErrorAlreadyExists = 183;
inline constexpr unsigned long kErrorInvalidFunction = 1;
inline constexpr unsigned long kErrorFileNotFound = 2;
inline constexpr unsigned long kErrorNotReady = 21;
inline constexpr unsigned long kErrorSharingViolation = 32;
inline constexpr unsigned long kErrorLockViolation = 33;
inline constexpr unsigned long kErrorNotSupported = 50;
inline constexpr unsigned long kErrorNoMediaInDrive = 1112;

using HResult = std::int32_t;
inline constexpr HResult kSOk = 0;
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kENoInterface = static_cast<HResult>(0x80004002u);

// Configuration Manager results and device node status bits.
using ConfigRet = std::uint32_t;
inline constexpr ConfigRet kCrSuccess = 0x00;
inline constexpr ConfigRet kCrFailure = 0x13;
inline constexpr ConfigRet kCrNoSuchDevnode = 0x0D;
inline constexpr ConfigRet kCrNoSuchValue = 0x25;
inline constexpr ConfigRet kCrBufferSmall = 0x1A;
inline constexpr ConfigRet kCrRemoveVetoed = 0x17;
inline constexpr std::uint32_t kDnHasProblem = 0x400;
inline constexpr std::uint32_t kDnDisableable = 0x2000;
inline constexpr std::uint32_t kDnRemovable = 0x4000;

// PNP_VETO_TYPE: why the system refused an eject request.
inline constexpr std::uint32_t kPnpVetoTypeUnknown = 0;
inline constexpr std::uint32_t kPnpVetoLegacyDevice = 1;
inline constexpr std::uint32_t kPnpVetoPendingClose = 2;
inline constexpr std::uint32_t kPnpVetoWindowsApp = 3;
inline constexpr std::uint32_t kPnpVetoWindowsService = 4;
inline constexpr std::uint32_t kPnpVetoOutstandingOpen = 5;
inline constexpr std::uint32_t kPnpVetoDevice = 6;
inline constexpr std::uint32_t kPnpVetoDriver = 7;
inline constexpr std::uint32_t kPnpVetoIllegalDeviceRequest = 8;
inline constexpr std::uint32_t kPnpVetoInsufficientPower = 9;
inline constexpr std::uint32_t kPnpVetoNonDisableable = 10;
inline constexpr std::uint32_t kPnpVetoLegacyDriver = 11;
inline constexpr std::uint32_t kPnpVetoInsufficientRights = 12;
inline constexpr std::uint32_t kPnpVetoAlreadyRemoved = 13;

// CM_Get_DevNode_Registry_PropertyW property ids.
inline constexpr std::uint32_t kCmDrpDeviceDesc = 0x01;
inline constexpr std::uint32_t kCmDrpHardwareId = 0x02;
inline constexpr std::uint32_t kCmDrpCompatibleIds = 0x03;
inline constexpr std::uint32_t kCmDrpService = 0x05;
inline constexpr std::uint32_t kCmDrpClassGuid = 0x09;
inline constexpr std::uint32_t kCmDrpFriendlyName = 0x0D;
inline constexpr std::uint32_t kCmDrpPhysicalDeviceObjectName = 0x0F;

// GetDriveTypeW results.
inline constexpr unsigned kDriveUnknown = 0;
inline constexpr unsigned kDriveNoRootDir = 1;
inline constexpr unsigned kDriveRemovable = 2;
inline constexpr unsigned kDriveFixed = 3;
inline constexpr unsigned kDriveRemote = 4;
inline constexpr unsigned kDriveCdrom = 5;
inline constexpr unsigned kDriveRamdisk = 6;

// STORAGE_DEVICE_NUMBER.DeviceType values (FILE_DEVICE_*) of the drives a letter names.
inline constexpr std::uint32_t kFileDeviceCdRom = 0x02;
inline constexpr std::uint32_t kFileDeviceDisk = 0x07;

}  // namespace winvalues
