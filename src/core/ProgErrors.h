#pragma once
// The program's own errors. A handler that names a class also catches those below it,
// so the tree is part of the behaviour.

#include "platform/Errors.h"

BOOTRAMA_EXCEPTION_CLASS(EProgError, platform::Exception);
BOOTRAMA_EXCEPTION_CLASS(EFileError, EProgError);
BOOTRAMA_EXCEPTION_CLASS(EIniError, EFileError);
BOOTRAMA_EXCEPTION_CLASS(ECopyError, EFileError);
BOOTRAMA_EXCEPTION_CLASS(EFileNotFound, EFileError);
BOOTRAMA_EXCEPTION_CLASS(ELogoError, EFileError);
BOOTRAMA_EXCEPTION_CLASS(EChangeError, ELogoError);
BOOTRAMA_EXCEPTION_CLASS(EInvalidLogo, ELogoError);
BOOTRAMA_EXCEPTION_CLASS(EDefaultLogo, ELogoError);
BOOTRAMA_EXCEPTION_CLASS(EBootOffError, EFileError);
BOOTRAMA_EXCEPTION_CLASS(EFileListError, EFileError);
BOOTRAMA_EXCEPTION_CLASS(EGDIError, EProgError);
BOOTRAMA_EXCEPTION_CLASS(EQuietException, EProgError);  // ends an operation without a message
BOOTRAMA_EXCEPTION_CLASS(ERegError, EProgError);
BOOTRAMA_EXCEPTION_CLASS(EReadRegError, ERegError);
BOOTRAMA_EXCEPTION_CLASS(EWriteRegError, ERegError);
BOOTRAMA_EXCEPTION_CLASS(EConfigError, EProgError);
BOOTRAMA_EXCEPTION_CLASS(EPathError, EConfigError);
