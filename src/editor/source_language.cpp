#include "editor/source_language.h"

#include "framework/path_parts.h"

#include <algorithm>
#include <cctype>

namespace ostrel {

SourceLanguage LanguageOfPath(std::string_view path)
{
    std::string extension = ExtensionOf(std::string(path));
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(std::tolower(c));
    });
    if (extension == "c" || extension == "h")
        return SourceLanguage::C;
    if (extension == "asm" || extension == "s" || extension == "inc")
        return SourceLanguage::AvrAssembler;
    return SourceLanguage::Plain;
}

std::string_view AvrInstructionWords()
{
    return "adc add adiw and andi asr bclr bld brbc brbs brcc brcs break breq brge brhc brhs "
           "brid brie brlo brlt brmi brne brpl brsh brtc brts brvc brvs bset bst call cbi cbr "
           "clc clh cli cln clr cls clt clv clz com cp cpc cpi cpse dec eicall eijmp elpm eor "
           "fmul fmuls fmulsu icall ijmp in inc jmp ld ldd ldi lds lpm lsl lsr mov movw mul "
           "muls mulsu neg nop or ori out pop push rcall ret reti rjmp rol ror sbc sbci sbi sbic "
           "sbis sbiw sbr sbrc sbrs sec seh sei sen ser ses set sev sez sleep spm st std sts sub "
           "subi swap tst wdr";
}

std::string_view AvrRegisterWords()
{
    return "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 r11 r12 r13 r14 r15 r16 r17 r18 r19 r20 r21 r22 "
           "r23 r24 r25 r26 r27 r28 r29 r30 r31 x y z xl xh yl yh zl zh sreg spl sph";
}

std::string_view AvrDirectiveWords()
{
    return ".byte .cseg .db .def .device .dseg .dw .endm .endmacro .equ .eseg .exit .include "
           ".list .listmac .macro .nolist .org .set .if .else .elif .endif .ifdef .ifndef "
           ".error .message .undef .global .globl .section .text .data .bss .word .ascii "
           ".asciz .align .type .size .func .endfunc .extern .weak .comm .lcomm";
}

} // namespace ostrel
