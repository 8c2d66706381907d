; counter.asm - eight LEDs on PORTB of a PIC16F877A count up in binary, one step about every 0.2 s.
;
; Wiring: LEDs with 330 ohm resistors from RB0..RB7 (pins 33 to 40) to ground, a 4 MHz crystal on
; OSC1 and OSC2. RB0 is the lowest bit of the count; after 255 the count starts again at 0.
;
; The waiting is done by a subroutine, Delay, kept in its own file (delay.inc) and included below: the
; main program CALLs it and it RETURNs to the instruction after the CALL.

; The processor is named in the project (Processor=16F877A in counter.pro), which passes it to the
; assembler; the header below gives names to its registers and bits: STATUS, PORTB, RP0, ...
        #include <p16f877a.inc>

        ; the configuration word: crystal oscillator, no watchdog, power-up timer on, no brown-out
        ; reset, no low-voltage programming (so RB3 is an ordinary pin), no code protection
        __config _XT_OSC & _WDT_OFF & _PWRTE_ON & _BODEN_OFF & _LVP_OFF & _CP_OFF

        errorlevel -302                 ; "register not in bank 0": we switch banks ourselves (RP0)

; The count, in the general-purpose registers of bank 0 that start at 0x20.
        cblock  0x20
        Count
        endc

        org     0x000                   ; the processor starts here after a reset
Start   bsf     STATUS,RP0              ; switch to bank 1, where the pin directions are
        clrf    TRISB                   ; 0 = output: every PORTB pin drives its LED
        bcf     STATUS,RP0              ; back to bank 0, where PORTB is
        clrf    Count                   ; start counting at 0

Loop    movf    Count,W                 ; W = Count
        movwf   PORTB                   ; show it on the LEDs
        call    Delay                   ; wait a while (delay.inc)
        incf    Count,F                 ; Count = Count + 1 (255 + 1 gives 0)
        goto    Loop                    ; show the next number, for ever

        #include "delay.inc"            ; the Delay subroutine goes into the program here

        end                             ; the assembler reads no further
