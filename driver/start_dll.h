/* The one entry point of the Tavrin library, for host programs.
 *
 * StartDLL runs one job on the robot from a command line in argc/argv form (argv[0] is not
 * examined) and writes its outcome into five host buffers of at least 1000 bytes each:
 *   infoBuf      one "name=value\r\n" line per component the robot reports
 *   softwareBuf  the robot's "Software" version
 *   modelIdBuf   its "ModelID"
 *   serialNoBuf  its "Serial Number"
 *   resultBuf    "Robot connected on COM" (plus a pass-through command's answer), or
 *                "Upload OK" after a successful upload
 * It always returns 0; the outcome is in resultBuf. The usage text ("?" or no words) and the
 * port listing ("--seria") end the whole process with status 1 instead of returning.
 * Call it from one thread at a time. */
#ifndef TAVRIN_START_DLL_H
#define TAVRIN_START_DLL_H

#if defined(_WIN32)
#if defined(TAVRIN_BUILDING_LIBRARY)
#define TAVRIN_API __declspec(dllexport)
#else
#define TAVRIN_API __declspec(dllimport)
#endif
#else
#define TAVRIN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

TAVRIN_API int StartDLL(int argc, char** argv, char* infoBuf, char* softwareBuf, char* modelIdBuf,
                        char* serialNoBuf, char* resultBuf);

/* The type of StartDLL, for hosts that load the library at run time. */
typedef int (*StartDLLFunction)(int argc, char** argv, char* infoBuf, char* softwareBuf,
                                char* modelIdBuf, char* serialNoBuf, char* resultBuf);

#ifdef __cplusplus
}
#endif

#endif
