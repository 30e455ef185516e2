/* Machine-dependent JNI types for Windows (LLP64): the JDK's jni.h includes this file. The
   host JDK's own copy is for Linux, where jlong is a `long` - only 32 bits under LLP64. */
#ifndef CHIMEBOX_WIN32_JNI_MD_H
#define CHIMEBOX_WIN32_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
